// Linux host, terminal: the entry point of tolvenformat. Fills the platform services over the
// emulated drive letters (USB disks, or the disk images named on the command line), runs the
// application object once with the terminal host, and turns the Format command's report into the
// exit status and the English lines beside the Korean log.
#include <chrono>
#include <clocale>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/dialog_resources.h"
#include "app/tolven_format_app.h"
#include "app/unattended_format.h"
#include "fat32/fat32_structures.h"
#include "platform/linux/host/drive_table.h"
#include "platform/linux/terminal/exit_report.h"
#include "platform/linux/terminal/format_failure.h"
#include "platform/linux/terminal/image_files.h"
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
#include "platform/linux/terminal/terminal_services.h"
#include "platform/linux/terminal/terminal_text.h"
#include "platform/linux/volume/linux_clock.h"
#include "tolven_version.h"

namespace tolven::linux_host {
namespace {

constexpr char kProgramName[] = "tolvenformat";

// Paths, labels and device texts in a message may carry control bytes: none reaches the terminal.
void PrintError(const std::string& message) {
    std::cerr << kProgramName << ": " << TerminalSafe(message) << "\n";
}

// --help, --version and option errors: the run ends before any target is looked at.
std::optional<int> AnswerWithoutTargets(const std::optional<TerminalOptions>& options,
                                        const std::string& error) {
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
    return std::nullopt;
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
};

// The targets named on the command line (or the USB disks), with a note for each whole disk that
// stands for its partition. False when one cannot be used: its reason is printed.
bool AddNamedTargets(const TerminalOptions& options, DriveTable& drives, CreatedImages& created) {
    std::vector<std::string> notes;
    const Status problem = AddTargets(options, drives, created, notes);
    for (const std::string& note : notes) {
        PrintError(note);
    }
    if (!problem.ok()) {
        PrintError(problem.message);
        return false;
    }
    return true;
}

// --list: the players found, as text or JSON.
int ListPlayers(TerminalServices& run, std::vector<FoundPlayer>& players, const TerminalOptions& options,
                int32_t panelColumns, const LocaleText& toLocale) {
    if (options.json) {
        std::vector<ListedPlayer> listed;
        for (const FoundPlayer& player : players) {
            listed.push_back(ListPlayer(run.Targets(), player, run.VolumeInformation()));
        }
        std::cout << PlayersAsJson(listed);
    } else {
        std::cout << toLocale(PlayerListText(run.Targets(), players, run.VolumeInformation(), panelColumns,
                                             !toLocale.ShowsHangul()));
    }
    if (players.empty()) {
        PrintError("no Tolven player found");
        return kExitNoPlayer;
    }
    return kExitSucceeded;
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

// The one player found is checked before the question and becomes the format's only target. An
// exit status when the run ends here (a refusal, or a dry run); `expectedBytes` for the progress.
std::optional<int> PrepareTheFormat(TerminalServices& run, const FoundPlayer& player,
                                    const TerminalOptions& options, TerminalScreen& screen,
                                    const LocaleText& toLocale, uint64_t& expectedBytes) {
    const TargetCheck check = CheckTargetBeforeAsking(run.Targets(), *player.target);
    if (!check.refusal.ok()) {
        PrintError(check.refusal.message);
        return kExitFailed;
    }
    if (options.dryRun) {
        PrintDryRun(run.Targets(), *player.target, check, screen, toLocale);
        return kExitSucceeded;
    }
    run.FormatOnly(*player.target);
    expectedBytes = ExpectedFormatBytes(check, player.drive, run.Content());
    return std::nullopt;
}

// How the terminal shows the dialog: the target is described before the question (it is what a
// yes erases), and a progress line is erased before anything else is printed.
TerminalHostOptions HostOptions(const TerminalOptions& options, TerminalServices& run,
                                const DriveTarget* target, int32_t panelColumns, const LocaleText& toLocale) {
    TerminalHostOptions host{.assumeYes = options.assumeYes,
                             .inputIsTerminal = StandardInputIsTerminal(),
                             .panelColumns = panelColumns,
                             .encode = std::cref(toLocale),
                             .describeTarget = {},
                             .beforeOutput =
                                 [&run] {
                                     if (ProgressLine* progress = run.Progress()) {
                                         progress->Erase();
                                     }
                                 },
                             .quiet = options.quiet,
                             .englishGlosses = !toLocale.ShowsHangul()};
    if (target != nullptr) {
        host.describeTarget = [&run, target](std::ostream& out) {
            out << DescribeTargetNow(run.Targets(), *target);
        };
    }
    return host;
}

// Whether the command wrote to the volume: what it left there is the user's then.
bool FormatStarted(FormatOutcome outcome) {
    return outcome == FormatOutcome::kSucceeded || outcome == FormatOutcome::kFormatFailed ||
           outcome == FormatOutcome::kCopyFailed;
}

// The exit status of the Format command's report, and the English lines beside the Korean log:
// what happened, why a step failed, and a target that changed under the run.
int ReportTheRun(const FormatReport& report, RunEnding end, TerminalServices& run, const DriveTable& drives,
                 bool targetsNamed, const DriveTarget* target) {
    if (ExitStatusOf(end) == kExitNoPlayer && targetsNamed) {
        for (char letter = 'A'; letter <= 'Z'; ++letter) {
            if (const DriveTarget* named = drives.Find(letter)) {
                const NotAPlayer why = NotAPlayerReason(run.Targets(), *named);
                PrintError(why.reason.message);
                end.targetUnopened = end.targetUnopened || why.unopened;
            }
        }
    }
    int status = ExitStatusOf(end);
    if (end.outputLost && status != kExitOutputLost) {
        PrintError("standard output could not be written: part of the output was lost");
    }
    const bool formatFailed = report.outcome == FormatOutcome::kFormatFailed;
    if (formatFailed && !report.failures.empty()) {
        PrintError("the format failed: " + report.failures.front());
    } else if (const char* explanation = Explanation(status, end)) {
        PrintError(explanation);
    }
    // A target that shrank or grew under the run holds no sound volume, whatever was written.
    if (const Status changed = target != nullptr ? TargetLengthChange(run.Targets(), *target) : Status();
        !changed.ok()) {
        PrintError(changed.message);
        status = status == kExitSucceeded || status == kExitOutputLost ? kExitFailed : status;
    }
    if (!formatFailed && target != nullptr &&
        (!report.failures.empty() || report.outcome == FormatOutcome::kCopyFailed)) {
        for (const std::string& failure : report.failures) {
            PrintError(failure);
        }
        // The error behind a file or the label that could not be written.
        if (const Status cause = FormatFailureReason(run.Targets(), *target, Status()); !cause.ok()) {
            PrintError(cause.message);
        }
    }
    if (const int signal = report.interrupted ? run.StopSignal() : 0) {
        PrintError("stopped by signal " + std::to_string(signal) +
                   "; the volume is consistent, but the player's system files may be missing");
        status = 128 + signal;
    }
    return status;
}

int Run(int argc, char** argv) {
    InstallRunSignals();
    const auto start = std::chrono::steady_clock::now();
    std::string error;
    const std::optional<TerminalOptions> options =
        ParseTerminalOptions({argv + (argc > 0 ? 1 : 0), argv + argc}, error);
    if (const std::optional<int> status = AnswerWithoutTargets(options, error)) {
        return *status;
    }
    const StatisticsAtExit statisticsAtExit{options->statistics, start};
    std::setlocale(LC_ALL, "");
    const LocaleText toLocale;

    DriveTable drives;
    CreatedImages createdImages;  // an image this run creates is removed again unless the format starts
    if (!AddNamedTargets(*options, drives, createdImages)) {
        return kExitFailed;
    }
    TerminalServices run(drives);
    TerminalScreen screen;
    const int32_t panelColumns = PanelColumnsFor(screen.Columns());
    std::vector<FoundPlayer> players = FindPlayers(drives, run.Storage());
    if (options->listOnly) {
        return ListPlayers(run, players, *options, panelColumns, toLocale);
    }
    if (players.size() > 1) {
        std::cerr << SeveralPlayersMessage(players, kProgramName);  // the user names the one to format
        return kExitUsage;
    }
    const DriveTarget* target = players.empty() ? nullptr : players.front().target;
    uint64_t expectedBytes = 0;
    if (target != nullptr) {
        if (const auto status =
                PrepareTheFormat(run, players.front(), *options, screen, toLocale, expectedBytes)) {
            return *status;
        }
    }
    TerminalHost host(TolvenFormatResources(), HostOptions(*options, run, target, panelColumns, toLocale),
                      std::cin, screen.Stream(), std::cout);
    std::optional<ProgressLine> progress;
    if (const auto style = StandardErrorProgressStyle(); expectedBytes != 0 && !options->quiet && style) {
        run.ShowProgress(progress.emplace(std::cerr, expectedBytes, *style));
    }
    const FormatReport report = RunUnattendedFormat(theApp, host, run.Services());
    run.HideProgress();
    progress.reset();
    if (FormatStarted(report.outcome)) {
        createdImages.Keep();  // what the format left is the user's
    }
    std::cout.flush();  // a broken pipe on standard output stops the output, not the work
    const RunEnding ending{.outcome = report.outcome,
                           .couldNotAsk = host.CouldNotAsk(),
                           .incomplete = !report.failures.empty(),
                           .outputLost = !std::cout.good()};
    return ReportTheRun(report, ending, run, drives, !options->targets.empty(), target);
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
