// Linux host, terminal: the signal handlers. Everything a handler touches is a lock-free atomic
// or a buffer filled before it is published; it calls only async-signal-safe functions.
#include "platform/linux/terminal/run_signals.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace tolven::linux_host {

namespace {

constexpr int kMaxCreated = 32;

std::atomic<int> g_phase{static_cast<int>(SignalPhase::kImmediate)};
std::atomic<int> g_pending{0};
char* g_created[kMaxCreated] = {};
std::atomic<int> g_createdCount{0};

void Say(const char* text) {
    const ssize_t ignored = ::write(STDERR_FILENO, text, std::strlen(text));
    (void)ignored;
}

[[noreturn]] void EndNow(int signal) {
    ::_exit(128 + signal);
}

void OnSignal(int signal) {
    const int saved = errno;
    const auto phase = static_cast<SignalPhase>(g_phase.load());
    if (phase == SignalPhase::kImmediate) {
        const int count = g_createdCount.load();
        for (int i = 0; i < count; ++i) {
            ::unlink(g_created[i]);
        }
        Say("\ntolvenformat: interrupted; nothing was written\n");
        EndNow(signal);
    }
    int expected = 0;
    if (g_pending.compare_exchange_strong(expected, signal)) {
        Say(phase == SignalPhase::kFormatting
                ? "\ntolvenformat: interrupt received: the format is finishing, then the run stops "
                  "(press Ctrl-C again to stop at once)\n"
                : "\ntolvenformat: interrupt received: the copy stops after the current file\n");
    } else if (signal == SIGINT) {
        Say("\ntolvenformat: stopped at once: the disk may be left unformatted or without its "
            "system files\n");
        EndNow(signal);
    }
    errno = saved;
}

}  // namespace

void InstallRunSignals() {
    ::signal(SIGPIPE, SIG_IGN);
    ::signal(SIGXFSZ, SIG_IGN);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;  // the held-back signal must not fail the write it interrupts
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        ::sigaction(signal, &action, nullptr);
    }
}

void RemoveOnEarlyExit(const std::string& path) {
    const int count = g_createdCount.load();
    if (count < kMaxCreated) {
        g_created[count] = ::strdup(path.c_str());
        g_createdCount.store(count + 1);
    }
}

void SetSignalPhase(SignalPhase phase) {
    g_phase.store(static_cast<int>(phase));
}

int PendingSignal() {
    return g_pending.load();
}

}  // namespace tolven::linux_host
