// Linux host, terminal: what signals may do to a run. A broken pipe or a file-size limit never
// kills the program (the failing write reports them). Every other signal whose default action ends
// the process (SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGALRM, the real-time signals, ...)
// ends the run at once while nothing has been written; from the confirmation until the formatter
// has written its structures it is held back, and during the content copy it stops the copy
// between two files. A second SIGINT while held back ends the run at once; only that and SIGKILL
// can cut the structure writes. Signals that report a fault of the program itself (SIGSEGV,
// SIGBUS, SIGFPE, SIGILL, SIGABRT) and those of debuggers and system-call filters (SIGTRAP,
// SIGSYS) keep their default action.
#pragma once

#include <sys/types.h>

#include <string>

namespace tolven::linux_host {

enum class SignalPhase {
    kImmediate,   // nothing written yet: the run ends, images it created are removed
    kFormatting,  // held back until the volume's structures are written
    kCopying,     // held back; the copy stops before its next file
};

// Ignores SIGPIPE and SIGXFSZ and installs the handler for every signal held back.
void InstallRunSignals();

// An image created by this run (the file `device`/`inode`): removed when a signal ends the run
// before anything is written, while `path` still names it.
void RemoveOnEarlyExit(const std::string& path, dev_t device, ino_t inode);
// The format started: what it left is the user's.
void KeepOnEarlyExit();

void SetSignalPhase(SignalPhase phase);

// The first signal held back, or 0.
int PendingSignal();

}  // namespace tolven::linux_host
