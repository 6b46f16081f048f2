#include "bench/loop_device.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace tolven::bench {

std::string FindTool(const char* name) {
    for (const char* dir : {"/usr/sbin", "/sbin", "/usr/bin", "/bin", "/usr/local/sbin"}) {
        const std::string candidate = std::string(dir) + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return {};
}

std::string AttachLoop(const std::string& image) {
    const std::string losetup = FindTool("losetup");
    if (losetup.empty()) {
        return {};
    }
    const std::string command = losetup + " -f --show '" + image + "' 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return {};
    }
    char line[256] = {};
    const bool got = std::fgets(line, sizeof line, pipe) != nullptr;
    const int status = ::pclose(pipe);
    if (!got || status != 0) {
        return {};
    }
    std::string device(line);
    device.erase(device.find_last_not_of(" \n") + 1);
    return device;
}

void DetachLoop(const std::string& device) {
    const std::string command = FindTool("losetup") + " -d " + device;
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "could not detach %s\n", device.c_str());
    }
}

double TimeDdZeros(const std::string& device, uint64_t bytes) {
    const std::string dd = FindTool("dd");
    const std::string output = "of=" + device;
    const std::string count = "count=" + std::to_string((bytes + 65535) / 65536);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        ::execl(dd.c_str(), dd.c_str(), "if=/dev/zero", output.c_str(), "bs=64K", count.c_str(),
                "oflag=direct", "conv=fsync", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return -1;
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace tolven::bench
