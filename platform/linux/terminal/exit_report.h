// Linux host, terminal: the exit status of a run and the English line on standard error that
// says what happened, so that a script can tell a volume that was formatted from one that was
// not, whatever else went wrong (a lost log, a declined question, a target that cannot be opened).
#pragma once

#include "app/format_report.h"

namespace tolven::linux_host {

enum ExitStatus {
    kExitSucceeded = 0,
    kExitFailed = 1,
    kExitUsage = 2,
    kExitNoPlayer = 3,
    kExitDeclined = 4,
    kExitOutputLost = 5,  // formatted completely; standard output (the status log) could not be written
};

// What a run that got as far as the dialog did.
struct RunEnding {
    FormatOutcome outcome = FormatOutcome::kNotRun;  // kNotRun: the Format button was disabled
    bool couldNotAsk = false;                        // declined because no question could be asked
    bool incomplete = false;      // a step failed that the log does not show (a folder, the label)
    bool outputLost = false;      // standard output could not be written
    bool targetUnopened = false;  // a named target could not be opened, so no player is known
};

int ExitStatusOf(const RunEnding& ending);

// The line for standard error (without the program's name), or nullptr when the status says it all.
const char* Explanation(int status, const RunEnding& ending);

}  // namespace tolven::linux_host
