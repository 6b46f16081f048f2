// How one Format command ended, in one value, and the hook through which a host that reports more
// than the Korean log (the Linux terminal) follows the command's steps. Windows hands in no hook:
// its log and message boxes say all the user sees.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tolven {

enum class FormatOutcome {
    kNotRun,        // the command never ran
    kNoPlayer,      // no player: only the information box
    kDeclined,      // the confirmation was answered No
    kDriveChanged,  // the player moved while the confirmation was open: nothing formatted
    kFormatFailed,  // the formatter reported a failure
    kCopyFailed,    // formatted and labelled, but the system files were not all written
    kSucceeded,     // formatted, labelled and the system files written
};

// The steps of a confirmed Format command, in their order.
enum class FormatStep {
    kFormat,   // the formatter writes the volume's structures
    kLabel,    // the label "PMP" on the fresh volume
    kContent,  // the player's folders and system files
};

class IFormatObserver {
  public:
    virtual ~IFormatObserver() = default;
    // The step is about to begin: kFormat once the user confirmed, kLabel once the structures
    // are written.
    virtual void OnStepStarted(FormatStep step) = 0;
    // The English reason the host knows for a step that failed, or "" when it knows none. Asked
    // for kFormat and kLabel when they fail, and for kContent after every copy (a folder that
    // could not be made fails no file, yet the host may know of it).
    virtual std::string FailureReason(FormatStep step) = 0;
    // Whether the host asked the command to stop; the host's file calls then refuse the files
    // still to come. Asked once the command has ended.
    virtual bool StopRequested() = 0;
};

struct FormatReport {
    FormatOutcome outcome = FormatOutcome::kNotRun;
    // The host's English reasons for the steps that failed, in step order.
    std::vector<std::string> failures;
    // GetLastError of the formatter's refused volume open (0: the open was not what failed).
    int32_t openError = 0;
    bool interrupted = false;  // the host asked the command to stop (the copy ends early then)
};

}  // namespace tolven
