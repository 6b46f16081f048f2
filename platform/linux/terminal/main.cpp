// Linux host, terminal: the entry point of tolvenformat. Fills the platform services over the
// emulated drive letters (USB disks, or the disk images named on the command line) and runs the
// application object with the terminal host.
#include <chrono>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/dialog_resources.h"
#include "app/tolven_format_app.h"
#include "platform/linux/content/linked_content_store.h"
#include "platform/linux/fatfs/linux_player_file_system.h"
#include "platform/linux/fatfs/linux_volume_information.h"
#include "platform/linux/fatfs/volume_label.h"
#include "platform/linux/host/drive_table.h"
#include "platform/linux/storage/drive_table_storage.h"
#include "platform/linux/storage/usb_disk_discovery.h"
#include "platform/linux/terminal/image_files.h"
#include "platform/linux/terminal/run_statistics.h"
#include "platform/linux/terminal/terminal_host.h"
#include "platform/linux/terminal/terminal_options.h"
#include "platform/linux/volume/linux_block_device.h"
#include "platform/linux/volume/linux_clock.h"
#include "platform/linux/volume/linux_page_allocator.h"
#include "platform/linux/volume/linux_volume.h"
#include "platform/linux/volume/target_table.h"

namespace tolven::linux_host {
namespace {

constexpr char kProgramName[] = "tolvenformat";

enum ExitStatus {
    kExitSucceeded = 0,
    kExitFailed = 1,
    kExitUsage = 2,
    kExitNoPlayer = 3,
    kExitDeclined = 4,
};

// SetVolumeLabelA through the host's FAT32 file layer.
class FatVolumeLabel final : public IVolumeLabel {
  public:
    explicit FatVolumeLabel(const FatDriveAccess& access) : access_(access) {}
    bool SetVolumeLabelA(std::string_view rootPath, std::string_view label) override {
        return linux_host::SetVolumeLabelA(access_, rootPath, label);
    }

  private:
    const FatDriveAccess& access_;
};

int ExitStatusOf(const TerminalHost& host, const CTolvenFormatApp& app, bool listOnly) {
    if (!host.FormatButtonWasEnabled()) {
        return kExitNoPlayer;
    }
    if (listOnly) {
        return kExitSucceeded;
    }
    switch (app.LastFormatOutcome()) {
        case FormatOutcome::kSucceeded:
            return kExitSucceeded;
        case FormatOutcome::kDeclined:
            return kExitDeclined;
        case FormatOutcome::kNoPlayer:
        case FormatOutcome::kNotRun:
            return kExitNoPlayer;
        case FormatOutcome::kDriveChanged:
        case FormatOutcome::kFormatFailed:
        case FormatOutcome::kCopyFailed:
            return kExitFailed;
    }
    return kExitFailed;
}

// A line on standard error for every run that did not format, so that scripts see why in English.
const char* Explanation(int status, FormatOutcome outcome) {
    switch (status) {
        case kExitNoPlayer:
            return "no Tolven player found";
        case kExitDeclined:
            return "not formatted: the confirmation was answered no";
        case kExitFailed:
            if (outcome == FormatOutcome::kCopyFailed) {
                return "the volume was formatted, but the player's system files were not all written";
            }
            if (outcome == FormatOutcome::kDriveChanged) {
                return "the player's drive changed while the confirmation was open; nothing was formatted";
            }
            return "the format failed; the status log above says why";
        default:
            return nullptr;
    }
}

int Run(int argc, char** argv) {
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::string_view> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::string error;
    const std::optional<TerminalOptions> options = ParseTerminalOptions(arguments, error);
    if (!options) {
        std::cerr << kProgramName << ": " << error << "\n"
                  << "Try '" << kProgramName << " --help' for more information.\n";
        return kExitUsage;
    }
    if (options->help) {
        std::cout << TerminalUsage();
        return kExitSucceeded;
    }
    if (options->version) {
        std::cout << kProgramName << " 1.0.0.1\n";
        return kExitSucceeded;
    }

    DriveTable drives;
    if (options->images.empty()) {
        AddUsbDisks(drives);
    }
    for (const std::string& image : options->images) {
        const std::string problem = PrepareImageFile(image, options->sizeBytes);
        if (!problem.empty()) {
            std::cerr << kProgramName << ": " << problem << "\n";
            return kExitFailed;
        }
        if (AddDiskImage(drives, image, DiskImageIdentity{options->vendor, options->product}) == 0) {
            std::cerr << kProgramName << ": too many drives: no drive letter left for '" << image << "'\n";
            return kExitUsage;
        }
    }

    // Every target is opened once, here or at its first use, and only through this table.
    TargetTable targets(drives);
    DriveTableStorage storage(targets);
    LinuxVolumeSystem volumeSystem(targets);
    LinuxClock clock;
    LinuxPageAllocator pages;
    // One mount per drive letter for the panel, the label and the installer.
    const FatDriveAccess fatAccess = TargetDriveAccess(targets);
    LinuxVolumeInformation volumeInformation(fatAccess);
    LinuxPlayerFileSystem fileSystem(fatAccess);
    FatVolumeLabel labels(fatAccess);
    LinkedContentStore content;
    const PlatformServices services{storage, volumeInformation, FormatPlatform{volumeSystem, clock, pages},
                                    labels,  fileSystem,        content};

    TerminalHost host(TolvenFormatResources(),
                      TerminalHostOptions{options->listOnly, options->assumeYes, StandardInputIsTerminal()},
                      std::cin, std::cout);
    theApp.SetPlatformServices(services);
    theApp.RunApplication(host);
    const int status = ExitStatusOf(host, theApp, options->listOnly);
    std::cout.flush();
    if (const char* explanation = Explanation(status, theApp.LastFormatOutcome())) {
        std::cerr << kProgramName << ": " << explanation << "\n";
    }
    if (options->statistics) {
        std::cerr << kProgramName << ": " << FormatRunStatistics(MeasureRun(start)) << "\n";
    }
    return status;
}

}  // namespace
}  // namespace tolven::linux_host

int main(int argc, char** argv) {
    return tolven::linux_host::Run(argc, argv);
}
