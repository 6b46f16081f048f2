// Linux host: the formatter's volume access over the host's emulated drive letters. The volume
// path "\\.\X:" names letter X of the DriveTable; its target is a disk image or a block device,
// reached through the run's descriptor of it (TargetTable).
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>

#include "fat32/volume_access.h"
#include "platform/linux/host/drive_table.h"
#include "platform/linux/host/status.h"
#include "platform/linux/volume/target_table.h"
#include "platform/linux/volume/volume_placement.h"

namespace tolven::linux_host {

// The most zero bytes an image's volume gathers before it writes them: 16 writes of the
// formatter's clearing, well under a second on a slow disk.
inline constexpr uint64_t kMostGatheredZeroBytes = 1024 * 1024;

// The Windows media type of a fixed hard disk, which is what every target here reports.
inline constexpr uint32_t kFixedMedia = 12;

class LinuxVolume final : public IVolume {
  public:
    LinuxVolume(std::shared_ptr<OpenTarget> target, const VolumePlacement& placement, bool exclusive,
                bool direct);
    ~LinuxVolume() override { CloseHandle(); }

    bool LockVolume() override;
    bool GetDriveGeometry(DiskGeometry& geometry) override;
    bool GetPartitionInfo(PartitionInformation& info) override;
    bool SetPartitionType(uint8_t partitionType) override;
    bool DismountVolume() override;
    bool UnlockVolume() override;
    // On an image, whole-zero writes that follow each other are gathered and punched as one hole
    // before the next other write, flush or close, or once kMostGatheredZeroBytes are gathered:
    // a caller that counts the writes it made (a progress line) is then never far ahead of the
    // zeros that reached the image, also where the file system has no holes and each is written.
    bool WriteAt(uint64_t byteOffset, const std::byte* data, uint32_t byteCount) override;
    void CloseHandle() override;

    bool DirectIo() const { return direct_; }

  private:
    bool Flush();
    bool WritePendingZeros();

    std::shared_ptr<OpenTarget> target_;  // null once closed
    VolumePlacement placement_;
    bool exclusive_;
    bool direct_;
    bool locked_ = false;
    uint64_t pendingZeroOffset_ = 0;  // target bytes
    uint64_t pendingZeroBytes_ = 0;
};

// The "\\.\X:" path's letter, upper-cased, or 0 when the path has another shape.
char VolumeLetterFromPath(std::u16string_view path);

class LinuxVolumeSystem final : public IVolumeSystem {
  public:
    // A table of its own: this volume system alone is the run. `drives` must outlive it.
    explicit LinuxVolumeSystem(const DriveTable& drives, std::filesystem::path sysfsRoot = kSysfsRoot);
    // The run's table, shared with the drive scan and the file layer; it must outlive this.
    explicit LinuxVolumeSystem(TargetTable& targets, std::filesystem::path sysfsRoot = kSysfsRoot);

    // Access: kGenericWrite asks for writing. Share mode 0 is an exclusive handle with the
    // target's claim; any sharing gives a shared handle. kFileFlagNoBuffering asks for O_DIRECT.
    std::unique_ptr<IVolume> CreateFileW(std::u16string_view path, uint32_t desiredAccess, uint32_t shareMode,
                                         uint32_t flagsAndAttributes) override;
    // The core's error code of the last refused open: its errno, the code the log reports.
    int32_t LastOpenError() const override { return lastOpen_.error; }
    const Status& LastOpenStatus() const { return lastOpen_; }

  private:
    std::unique_ptr<IVolume> Refuse(Status status);

    std::unique_ptr<TargetTable> ownTargets_;
    TargetTable& targets_;
    std::filesystem::path sysfsRoot_;
    Status lastOpen_;
};

}  // namespace tolven::linux_host
