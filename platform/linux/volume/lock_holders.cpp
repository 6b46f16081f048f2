// Linux host: record locks of other processes, and naming who holds a lock.
#include "platform/linux/volume/lock_holders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tolven::linux_host {

namespace {

// False when the kernel does not know the probe.
bool Probe(int fd, int command, bool& conflict) {
    struct flock probe {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;  // l_start 0, l_len 0: the whole file
    if (::fcntl(fd, command, &probe) != 0) {
        return false;
    }
    conflict = probe.l_type != F_UNLCK;
    return true;
}

std::string ProcessText(const std::string& procRoot, long pid) {
    std::string name;
    std::getline(std::ifstream(procRoot + "/" + std::to_string(pid) + "/comm"), name);
    return "process " + std::to_string(pid) + (name.empty() ? "" : " (" + name + ")");
}

// /proc/locks gives no process for an OFD lock: the "lock:" lines of every process's open files
// do. Empty when none shows the file (another user's processes may be hidden).
std::string OfdLockProcess(const std::string& procRoot, const std::string& file, long self) {
    namespace fs = std::filesystem;
    std::error_code error;
    for (const fs::directory_entry& process : fs::directory_iterator(procRoot, error)) {
        const std::string name = process.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos || std::stol(name) == self) {
            continue;
        }
        std::error_code fdError;
        for (const fs::directory_entry& info : fs::directory_iterator(process.path() / "fdinfo", fdError)) {
            std::ifstream in(info.path());
            std::string line;
            while (std::getline(in, line)) {
                if (line.rfind("lock:", 0) == 0 && line.find(" " + file + " ") != std::string::npos) {
                    return ProcessText(procRoot, std::stol(name));
                }
            }
        }
    }
    return {};
}

}  // namespace

bool RecordLockHeldElsewhere(int fd) {
    // An OFD probe sees both kinds, ours included (we hold none); F_GETLK serves older kernels.
    bool conflict = false;
    if (!Probe(fd, F_OFD_GETLK, conflict)) {
        Probe(fd, F_GETLK, conflict);
    }
    return conflict;
}

std::string LockHolderOf(int fd, const std::string& procRoot) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        return {};
    }
    char file[64];
    std::snprintf(file, sizeof file, "%02x:%02x:%llu", major(st.st_dev), minor(st.st_dev),
                  static_cast<unsigned long long>(st.st_ino));
    std::ifstream locks(procRoot + "/locks");
    const long self = static_cast<long>(::getpid());
    std::string line;
    while (std::getline(locks, line)) {
        // "1: POSIX  ADVISORY  WRITE 1234 08:01:5603398 0 EOF"; waiters carry "->" and hold nothing.
        std::istringstream fields(line);
        std::string number, kind, mode, access, id;
        long pid = 0;
        if (!(fields >> number >> kind) || kind == "->" || !(fields >> mode >> access >> pid >> id) ||
            id != file || pid == self) {
            continue;
        }
        if (pid <= 0) {
            const std::string process = OfdLockProcess(procRoot, file, self);
            return process.empty() ? "an open file description lock" : process;
        }
        return ProcessText(procRoot, pid);
    }
    return {};
}

}  // namespace tolven::linux_host
