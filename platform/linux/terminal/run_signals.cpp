// Linux host, terminal: the signal handlers. Everything a handler touches is a lock-free atomic
// or a buffer filled before it is published; it calls only async-signal-safe functions.
#include "platform/linux/terminal/run_signals.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace tolven::linux_host {

namespace {

constexpr int kMaxCreated = 32;

struct CreatedImage {
    char* path;
    dev_t device;
    ino_t inode;
};

std::atomic<int> g_phase{static_cast<int>(SignalPhase::kImmediate)};
std::atomic<int> g_pending{0};
CreatedImage g_created[kMaxCreated] = {};
std::atomic<int> g_createdCount{0};

void Say(const char* text) {
    const ssize_t ignored = ::write(STDERR_FILENO, text, std::strlen(text));
    (void)ignored;
}

// "signal 10", or "interrupt" for SIGINT (Ctrl-C), without any allocation.
void SayWhat(int signal) {
    if (signal == SIGINT) {
        Say("interrupt");
        return;
    }
    char text[] = "signal 000";
    const int digits = signal >= 100 ? 3 : signal >= 10 ? 2 : 1;
    char* end = text + std::strlen("signal ") + digits;
    *end = '\0';
    for (int rest = signal, i = 1; i <= digits; rest /= 10, ++i) {
        end[-i] = static_cast<char>('0' + rest % 10);
    }
    Say(text);
}

[[noreturn]] void EndNow(int signal) {
    ::_exit(128 + signal);
}

void RemoveCreatedImages() {
    const int count = g_createdCount.load();
    for (int i = 0; i < count; ++i) {
        struct stat status {};
        if (::lstat(g_created[i].path, &status) == 0 && status.st_dev == g_created[i].device &&
            status.st_ino == g_created[i].inode) {
            ::unlink(g_created[i].path);
        }
    }
}

void OnSignal(int signal) {
    const int saved = errno;
    const auto phase = static_cast<SignalPhase>(g_phase.load());
    if (phase == SignalPhase::kImmediate) {
        RemoveCreatedImages();
        Say("\ntolvenformat: interrupted; nothing was written\n");
        EndNow(signal);
    }
    int expected = 0;
    if (g_pending.compare_exchange_strong(expected, signal)) {
        Say("\ntolvenformat: ");
        SayWhat(signal);
        Say(phase == SignalPhase::kFormatting ? " received: the format is finishing, then the run stops "
                                                "(press Ctrl-C again to stop at once)\n"
                                              : " received: the copy stops after the current file\n");
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
    // One handler at a time: a second signal waits until the first has been recorded.
    sigfillset(&action.sa_mask);
    action.sa_flags = SA_RESTART;  // the held-back signal must not fail the write it interrupts
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF,
                             SIGXCPU, SIGPWR, SIGSTKFLT, SIGIO}) {
        ::sigaction(signal, &action, nullptr);
    }
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) {
        ::sigaction(signal, &action, nullptr);
    }
}

void RemoveOnEarlyExit(const std::string& path, dev_t device, ino_t inode) {
    const int count = g_createdCount.load();
    if (count < kMaxCreated) {
        g_created[count] = CreatedImage{::strdup(path.c_str()), device, inode};
        g_createdCount.store(count + 1);
    }
}

void KeepOnEarlyExit() {
    g_createdCount.store(0);
}

void SetSignalPhase(SignalPhase phase) {
    g_phase.store(static_cast<int>(phase));
}

int PendingSignal() {
    return g_pending.load();
}

}  // namespace tolven::linux_host
