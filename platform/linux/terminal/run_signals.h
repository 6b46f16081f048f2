// Linux host, terminal: what signals may do to a run. A broken pipe or a file-size limit never
// kills the program (the failing write reports them). SIGINT, SIGTERM and SIGHUP end the run at
// once while nothing has been written; from the confirmation until the formatter has written its
// structures they are held back, and during the content copy they stop it between two files. A
// second SIGINT while held back ends the run at once.
#pragma once

#include <string>

namespace tolven::linux_host {

enum class SignalPhase {
    kImmediate,   // nothing written yet: the run ends, images it created are removed
    kFormatting,  // held back until the volume's structures are written
    kCopying,     // held back; the copy stops before its next file
};

// Ignores SIGPIPE and SIGXFSZ and installs the handlers for SIGINT, SIGTERM and SIGHUP.
void InstallRunSignals();

// An image created by this run: removed when a signal ends the run before anything is written.
void RemoveOnEarlyExit(const std::string& path);

void SetSignalPhase(SignalPhase phase);

// The first signal held back, or 0.
int PendingSignal();

}  // namespace tolven::linux_host
