// Linux host, terminal: the platform services of one run, built once over the run's drive letters:
// every target opened through one table, the formatter's volumes and the FAT32 file layer's block
// devices counting their writes for the progress line, the installer's calls stopped by a signal,
// and the Format command followed step by step.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/format_report.h"
#include "app/platform_services.h"
#include "platform/linux/content/linked_content_store.h"
#include "platform/linux/fatfs/linux_player_file_system.h"
#include "platform/linux/fatfs/linux_volume_information.h"
#include "platform/linux/host/drive_table.h"
#include "platform/linux/host/status.h"
#include "platform/linux/storage/drive_table_storage.h"
#include "platform/linux/terminal/counting_writes.h"
#include "platform/linux/terminal/interruptible_files.h"
#include "platform/linux/terminal/player_search.h"
#include "platform/linux/terminal/progress_line.h"
#include "platform/linux/volume/linux_clock.h"
#include "platform/linux/volume/linux_page_allocator.h"
#include "platform/linux/volume/linux_volume.h"
#include "platform/linux/volume/target_table.h"

namespace tolven::linux_host {

// SetVolumeLabelA through the host's FAT32 file layer, remembering why it failed.
class FatVolumeLabel final : public IVolumeLabel {
  public:
    explicit FatVolumeLabel(const FatDriveAccess& access) : access_(access) {}
    bool SetVolumeLabelA(std::string_view rootPath, std::string_view label) override;
    const Status& Failure() const { return failure_; }

  private:
    const FatDriveAccess& access_;
    Status failure_;
};

// The terminal's side of the Format command: a signal is held back from the confirmation until the
// structures are written, then stops the copy between two files; a failed step is explained in
// English from what the target table, the label and the file calls saw.
class RunObserver final : public IFormatObserver {
  public:
    RunObserver(TargetTable& targets, const LinuxVolumeSystem& volumes, const FatVolumeLabel& label,
                const InterruptibleFiles& files)
        : targets_(targets), volumes_(volumes), label_(label), files_(files) {}
    // The one player the command formats.
    void SetTarget(const DriveTarget& target) { target_ = &target; }

    void OnStepStarted(FormatStep step) override;
    std::string FailureReason(FormatStep step) override;
    bool StopRequested() override;
    int StopSignal() const { return stopSignal_; }  // the signal that asked, or 0

  private:
    TargetTable& targets_;
    const LinuxVolumeSystem& volumes_;
    const FatVolumeLabel& label_;
    const InterruptibleFiles& files_;
    const DriveTarget* target_ = nullptr;
    int stopSignal_ = 0;
};

class TerminalServices {
  public:
    explicit TerminalServices(DriveTable& drives);
    TerminalServices(const TerminalServices&) = delete;
    TerminalServices& operator=(const TerminalServices&) = delete;

    // The dialog is to find only the player at `target`: the format's one target.
    void FormatOnly(const DriveTarget& target);
    // The line that follows the writes, from now on.
    void ShowProgress(ProgressLine& line) { progress_ = &line; }
    void HideProgress() { progress_ = nullptr; }
    ProgressLine* Progress() const { return progress_; }
    // The signal that stopped the Format command, or 0.
    int StopSignal() const { return observer_.StopSignal(); }

    const PlatformServices& Services() const { return *services_; }
    TargetTable& Targets() { return targets_; }
    DriveTableStorage& Storage() { return storage_; }
    LinuxVolumeInformation& VolumeInformation() { return volumeInformation_; }
    const LinkedContentStore& Content() const { return content_; }

  private:
    TargetTable targets_;
    DriveTableStorage storage_;
    std::optional<OneLetterStorage> onlyPlayer_;
    LinuxVolumeSystem linuxVolumes_;
    LinuxClock clock_;
    LinuxPageAllocator pages_;
    ProgressLine* progress_ = nullptr;
    WriteCount written_;
    CountingVolumeSystem volumeSystem_;
    // One mount per drive letter for the panel, the label and the installer.
    FatDriveAccess fatAccess_;
    LinuxVolumeInformation volumeInformation_;
    LinuxPlayerFileSystem playerFiles_;
    InterruptibleFiles fileSystem_;
    FatVolumeLabel labels_;
    LinkedContentStore content_;
    RunObserver observer_;
    std::optional<PlatformServices> services_;  // its storage changes with FormatOnly
};

}  // namespace tolven::linux_host
