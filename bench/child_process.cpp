#include "bench/child_process.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>

namespace tolven::bench {
namespace {

// The counters of a finished child, read while it is a zombie (before reaping).
void ReadChildIo(pid_t pid, ChildRun& run) {
    std::ifstream io("/proc/" + std::to_string(pid) + "/io");
    std::string key;
    uint64_t value = 0;
    while (io >> key >> value) {
        if (key == "rchar:") {
            run.bytesRead = value;
        } else if (key == "syscr:") {
            run.readCalls = value;
        } else if (key == "wchar:") {
            run.bytesWritten = value;
        } else if (key == "syscw:") {
            run.writeCalls = value;
        }
    }
}

}  // namespace

std::string FindTool(const char* name) {
    for (const char* dir : {"/usr/sbin", "/sbin", "/usr/bin", "/bin", "/usr/local/sbin"}) {
        const std::string candidate = std::string(dir) + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return {};
}

ChildRun RunQuietly(const std::vector<std::string>& argv, const std::string& syncPath) {
    ChildRun run;
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        std::vector<char*> args;
        for (const std::string& arg : argv) {
            args.push_back(const_cast<char*>(arg.c_str()));
        }
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    if (pid < 0) {
        return run;
    }
    siginfo_t info{};
    ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT);
    ReadChildIo(pid, run);
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    if (!syncPath.empty()) {
        const int fd = ::open(syncPath.c_str(), O_RDWR | O_CLOEXEC);
        if (fd >= 0) {
            ::fsync(fd);
            ::close(fd);
        }
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    run.peakRssKiB = usage.ru_maxrss;
    return run;
}

}  // namespace tolven::bench
