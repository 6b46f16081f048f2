// Linux host, terminal: exit statuses and the explanations beside them.
#include "platform/linux/terminal/exit_report.h"

namespace tolven::linux_host {

int ExitStatusOf(const RunEnding& ending) {
    switch (ending.outcome) {
        case FormatOutcome::kSucceeded:
            if (ending.incomplete) {
                return kExitFailed;
            }
            return ending.outputLost ? kExitOutputLost : kExitSucceeded;
        case FormatOutcome::kDeclined:
            return kExitDeclined;
        case FormatOutcome::kNoPlayer:
        case FormatOutcome::kNotRun:
            return ending.targetUnopened ? kExitFailed : kExitNoPlayer;
        case FormatOutcome::kDriveChanged:
        case FormatOutcome::kFormatFailed:
        case FormatOutcome::kCopyFailed:
            return kExitFailed;
    }
    return kExitFailed;
}

const char* Explanation(int status, const RunEnding& ending) {
    switch (status) {
        case kExitNoPlayer:
            return "no Tolven player found";
        case kExitDeclined:
            return ending.couldNotAsk
                       ? "not formatted: confirmation needs a terminal on standard input, or --yes"
                       : "not formatted: the confirmation was answered no";
        case kExitOutputLost:
            return "the volume was formatted and its system files written, but standard output could not be "
                   "written: the status log was lost";
        case kExitFailed:
            switch (ending.outcome) {
                case FormatOutcome::kCopyFailed:
                    return "the volume was formatted, but the player's system files were not all written";
                case FormatOutcome::kDriveChanged:
                    return "the player's drive changed while the confirmation was open; nothing was "
                           "formatted";
                case FormatOutcome::kSucceeded:
                    return "the volume was formatted, but not completely";
                case FormatOutcome::kFormatFailed:
                    return ending.outputLost
                               ? "the format failed; the status log that says why was lost"
                               : "the format failed; the status log on standard output says why";
                default:
                    return nullptr;  // a named target could not be opened: its reason is printed
            }
        default:
            return nullptr;
    }
}

}  // namespace tolven::linux_host
