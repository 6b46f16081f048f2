// Linux host, terminal: the entry point of tolvenformat. Fills the platform services over the
// emulated drive letters (USB disks, or the disk images named on the command line) and runs the
// application object with the terminal host.
#include <chrono>
#include <clocale>
#include <cstring>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/dialog_resources.h"
#include "app/tolven_format_app.h"
#include "fat32/fat32_structures.h"
#include "platform/linux/content/linked_content_store.h"
#include "platform/linux/fatfs/linux_player_file_system.h"
#include "platform/linux/fatfs/linux_volume_information.h"
#include "platform/linux/fatfs/volume_label.h"
#include "platform/linux/host/drive_table.h"
#include "platform/linux/storage/drive_table_storage.h"
#include "platform/linux/storage/usb_disk_discovery.h"
#include "platform/linux/terminal/counting_writes.h"
#include "platform/linux/terminal/exit_report.h"
#include "platform/linux/terminal/file_layer_status.h"
#include "platform/linux/terminal/format_failure.h"
#include "platform/linux/terminal/image_files.h"
#include "platform/linux/terminal/interruptible_files.h"
#include "platform/linux/terminal/locale_text.h"
#include "platform/linux/terminal/named_targets.h"
#include "platform/linux/terminal/player_list.h"
#include "platform/linux/terminal/player_search.h"
#include "platform/linux/terminal/progress_line.h"
#include "platform/linux/terminal/run_signals.h"
#include "platform/linux/terminal/run_statistics.h"
#include "platform/linux/terminal/safe_text.h"
#include "platform/linux/terminal/standard_descriptors.h"
#include "platform/linux/terminal/target_checks.h"
#include "platform/linux/terminal/target_description.h"
#include "platform/linux/terminal/terminal_host.h"
#include "platform/linux/terminal/terminal_options.h"
#include "platform/linux/terminal/terminal_screen.h"
#include "platform/linux/terminal/terminal_text.h"
#include "platform/linux/volume/linux_block_device.h"
#include "platform/linux/volume/linux_clock.h"
#include "platform/linux/volume/linux_page_allocator.h"
#include "platform/linux/volume/linux_volume.h"
#include "platform/linux/volume/target_table.h"
#include "tolven_version.h"

namespace tolven::linux_host {
namespace {

constexpr char kProgramName[] = "tolvenformat";

// SetVolumeLabelA through the host's FAT32 file layer.
class FatVolumeLabel final : public IVolumeLabel {
  public:
    explicit FatVolumeLabel(const FatDriveAccess& access) : access_(access) {}
    bool SetVolumeLabelA(std::string_view rootPath, std::string_view label) override {
        // The formatter has written the volume's structures: a signal now stops the copy.
        SetSignalPhase(SignalPhase::kCopying);
        FatStatus status;
        if (linux_host::SetVolumeLabelA(access_, rootPath, label, &status)) {
            return true;
        }
        failure_ = StatusOf(status);
        failure_.message.insert(0, "cannot set the volume label: ");
        return false;
    }
    // The dialog carries on without the label; the run does not count as a success then.
    const Status& Failure() const { return failure_; }

  private:
    const FatDriveAccess& access_;
    Status failure_;
};

// Paths, labels and device texts in a message may carry control bytes: none reaches the terminal.
void PrintError(const std::string& message) {
    std::cerr << kProgramName << ": " << TerminalSafe(message) << "\n";
}

// --dry-run: what the format would write into the log about the layout, and nothing written.
void PrintDryRun(TargetTable& targets, const DriveTarget& target, const TargetCheck& check,
                 TerminalScreen& screen, const LocaleText& toLocale) {
    screen.Stream() << DescribeTargetNow(targets, target);
    screen.Stream().flush();
    LinuxClock clock;
    const uint32_t volumeId = MakeVolumeId(clock.GetLocalTime());
    for (const std::u16string& line :
         LayoutLines(check.layout, static_cast<int64_t>(check.volumeLength), volumeId)) {
        std::cout << toLocale(ToUtf8(line)) << "\n";
    }
    std::cout << "Dry run: nothing was written.\n";
}

int Run(int argc, char** argv) {
    InstallRunSignals();
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::string_view> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::string error;
    const std::optional<TerminalOptions> options = ParseTerminalOptions(arguments, error);
    if (!options) {
        PrintError(error);
        std::cerr << "Try '" << kProgramName << " --help' for more information.\n";
        return kExitUsage;
    }
    if (options->help) {
        std::cout << TerminalUsage();
        return kExitSucceeded;
    }
    if (options->version) {
        std::cout << kProgramName << " " TOLVEN_VERSION_TEXT "\n";
        return kExitSucceeded;
    }
    // --stats reports every run that got this far, however it ends.
    struct StatisticsAtExit {
        bool wanted;
        std::chrono::steady_clock::time_point start;
        ~StatisticsAtExit() {
            if (wanted) {
                PrintError(FormatRunStatistics(MeasureRun(start)));
            }
        }
    } statisticsAtExit{options->statistics, start};
    std::setlocale(LC_ALL, "");
    const LocaleText toLocale;

    DriveTable drives;
    // An image this run creates is removed again unless the format starts.
    CreatedImages createdImages;
    std::vector<std::string> notes;
    const Status problem = AddTargets(*options, drives, createdImages, notes);
    for (const std::string& note : notes) {
        PrintError(note);
    }
    if (!problem.ok()) {
        PrintError(problem.message);
        return kExitFailed;
    }

    // Every target is opened once, here or at its first use, and only through this table.
    TargetTable targets(drives);
    DriveTableStorage storage(targets);
    LinuxVolumeSystem linuxVolumes(targets);
    LinuxClock clock;
    LinuxPageAllocator pages;
    std::optional<ProgressLine> progress;
    WriteCount written([&progress](uint64_t total) {
        if (progress) {
            progress->Update(total);
        }
    });
    CountingVolumeSystem volumeSystem(linuxVolumes, written);
    // One mount per drive letter for the panel, the label and the installer.
    FatDriveAccess fatAccess = TargetDriveAccess(targets);
    fatAccess.openDevice = CountingBlockDevices(fatAccess.openDevice, written);
    LinuxVolumeInformation volumeInformation(fatAccess);
    LinuxPlayerFileSystem playerFiles(fatAccess);
    InterruptibleFiles fileSystem(
        playerFiles, [] { return PendingSignal() != 0; },
        [&playerFiles] { return StatusOf(playerFiles.LastError()); });
    FatVolumeLabel labels(fatAccess);
    LinkedContentStore content;
    TerminalScreen screen;
    const int32_t panelColumns = PanelColumnsFor(screen.Columns());

    std::vector<FoundPlayer> players = FindPlayers(drives, storage);
    if (options->listOnly) {
        if (options->json) {
            std::vector<ListedPlayer> listed;
            for (const FoundPlayer& player : players) {
                listed.push_back(ListPlayer(targets, player, volumeInformation));
            }
            std::cout << PlayersAsJson(listed);
        } else {
            std::cout << toLocale(
                PlayerListText(targets, players, volumeInformation, panelColumns, !toLocale.ShowsHangul()));
        }
        if (players.empty()) {
            PrintError("no Tolven player found");
            return kExitNoPlayer;
        }
        return kExitSucceeded;
    }
    if (players.size() > 1) {
        // Never one of several silently: the user names the one to format.
        std::cerr << SeveralPlayersMessage(players, kProgramName);
        return kExitUsage;
    }

    std::optional<OneLetterStorage> onlyPlayer;
    TerminalHostOptions hostOptions{.listOnly = false,
                                    .assumeYes = options->assumeYes,
                                    .inputIsTerminal = StandardInputIsTerminal(),
                                    .panelColumns = panelColumns,
                                    .encode = std::cref(toLocale),
                                    .describeTarget = {},
                                    .beforeOutput = [&progress] {
                                        if (progress) {
                                            progress->Erase();
                                        }
                                    }};
    hostOptions.quiet = options->quiet;
    hostOptions.englishGlosses = !toLocale.ShowsHangul();
    uint64_t expectedBytes = 0;
    if (players.size() == 1) {
        const FoundPlayer& player = players.front();
        const TargetCheck check = CheckTargetBeforeAsking(targets, *player.target);
        if (!check.refusal.ok()) {
            PrintError(check.refusal.message);
            return kExitFailed;
        }
        if (options->dryRun) {
            PrintDryRun(targets, *player.target, check, screen, toLocale);
            return kExitSucceeded;
        }
        onlyPlayer.emplace(storage, player.target->letter);
        hostOptions.describeTarget = [&targets, target = *player.target](std::ostream& out) {
            out << DescribeTargetNow(targets, target);
        };
        expectedBytes = ExpectedFormatBytes(check, player.drive, content);
    }
    IStorageIdentification& scanned =
        onlyPlayer ? static_cast<IStorageIdentification&>(*onlyPlayer) : storage;
    const PlatformServices services{scanned, volumeInformation, FormatPlatform{volumeSystem, clock, pages},
                                    labels,  fileSystem,        content};

    TerminalHost host(TolvenFormatResources(), std::move(hostOptions), std::cin, screen.Stream(), std::cout);
    if (const auto style = StandardErrorProgressStyle(); expectedBytes != 0 && !options->quiet && style) {
        progress.emplace(std::cerr, expectedBytes, *style);
    }
    theApp.SetPlatformServices(services);
    theApp.RunApplication(host);
    progress.reset();
    const FormatOutcome outcome = theApp.LastFormatOutcome();
    if (outcome == FormatOutcome::kSucceeded || outcome == FormatOutcome::kFormatFailed ||
        outcome == FormatOutcome::kCopyFailed) {
        createdImages.Keep();  // the format started: what it left is the user's
    }
    // A player folder or the label that could not be made is no success, though the dialog
    // carries on without it. A broken pipe on standard output stops the output, not the work.
    std::cout.flush();
    RunEnding ending{.playerFound = host.FormatButtonWasEnabled(),
                     .outcome = outcome,
                     .couldNotAsk = host.CouldNotAsk(),
                     .incomplete = !fileSystem.Failure().ok() || !labels.Failure().ok(),
                     .outputLost = !std::cout.good()};
    if (ExitStatusOf(ending) == kExitNoPlayer && !options->targets.empty()) {
        for (char letter = 'A'; letter <= 'Z'; ++letter) {
            if (const DriveTarget* target = drives.Find(letter)) {
                const NotAPlayer why = NotAPlayerReason(targets, *target);
                PrintError(why.reason.message);
                ending.targetUnopened = ending.targetUnopened || why.unopened;
            }
        }
    }
    int status = ExitStatusOf(ending);
    if (ending.outputLost && status != kExitOutputLost) {
        PrintError("standard output could not be written: part of the output was lost");
    }
    // The product's log gives an error number at most: the English reason goes beside it.
    const bool wrote =
        outcome == FormatOutcome::kFormatFailed || outcome == FormatOutcome::kCopyFailed || ending.incomplete;
    const Status failure =
        wrote && players.size() == 1
            ? FormatFailureReason(
                  targets, *players.front().target,
                  outcome == FormatOutcome::kFormatFailed ? linuxVolumes.LastOpenStatus() : Status())
            : Status();
    const bool formatFailed = outcome == FormatOutcome::kFormatFailed && status == kExitFailed;
    if (!failure.ok() && formatFailed) {
        PrintError("the format failed: " + failure.message);
    } else if (const char* explanation = Explanation(status, ending)) {
        PrintError(explanation);
    }
    // A target that shrank or grew under the run holds no sound volume, whatever was written.
    if (const Status changed =
            players.size() == 1 ? TargetLengthChange(targets, *players.front().target) : Status();
        !changed.ok()) {
        PrintError(changed.message);
        status = status == kExitSucceeded || status == kExitOutputLost ? kExitFailed : status;
    }
    for (const Status* reason : {&fileSystem.Failure(), &labels.Failure()}) {
        if (!reason->ok()) {
            PrintError(reason->message);
        }
    }
    if (!failure.ok() && !formatFailed) {
        PrintError(failure.message);  // the error behind a file or the label that could not be written
    }
    if (const int signal = PendingSignal()) {
        PrintError("stopped by signal " + std::to_string(signal) +
                   "; the volume is consistent, but the "
                   "player's system files may be missing");
        status = 128 + signal;
    }
    return status;
}

// A listing, a dry run or a help text that could not be written is no success either.
int FinishOutput(int status) {
    std::cout.flush();
    if (status == kExitSucceeded && !std::cout.good()) {
        PrintError("standard output could not be written: the output was lost");
        return kExitFailed;
    }
    return status;
}

}  // namespace
}  // namespace tolven::linux_host

int main(int argc, char** argv) {
    // Before anything is opened: a closed standard descriptor would be given to the disk.
    if (!tolven::linux_host::OpenClosedStandardDescriptors()) {
        return tolven::linux_host::kExitFailed;
    }
    return tolven::linux_host::FinishOutput(tolven::linux_host::Run(argc, argv));
}
