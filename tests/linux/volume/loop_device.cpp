#include "tests/linux/volume/loop_device.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <fstream>

namespace tolven::linux_host::testing {

namespace {

bool Run(const std::string& command, std::string& output) {
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return false;
    }
    std::array<char, 256> buffer{};
    output.clear();
    while (std::fgets(buffer.data(), static_cast<int>(buffer.size()), pipe) != nullptr) {
        output += buffer.data();
    }
    while (!output.empty() && output.back() == '\n') {
        output.pop_back();
    }
    return ::pclose(pipe) == 0;
}

}  // namespace

LoopDevice::LoopDevice(const std::string& image) {
    if (::geteuid() != 0) {
        why_ = "loop devices need root";
        return;
    }
    std::string output;
    if (!Run("losetup --find --show '" + image + "'", output) || output.rfind("/dev/loop", 0) != 0) {
        why_ = "losetup failed: " + output;
        return;
    }
    device_ = output;
    Run("partx --add " + device_, output);  // fails harmlessly on an image without a table
}

LoopDevice::~LoopDevice() {
    if (Attached()) {
        std::string output;
        Run("partx --delete " + device_, output);
        Run("losetup --detach " + device_, output);
    }
}

std::string LoopDevice::FirstPartition() const {
    // The node must be the partition the kernel knows now (a stale node may linger in /dev).
    const std::string name = device_.substr(device_.rfind('/') + 1) + "p1";
    std::ifstream devFile("/sys/class/block/" + name + "/dev");
    unsigned major = 0;
    unsigned minor = 0;
    char colon = 0;
    struct stat st {};
    if (!(devFile >> major >> colon >> minor) || ::stat(("/dev/" + name).c_str(), &st) != 0 ||
        !S_ISBLK(st.st_mode) || st.st_rdev != makedev(major, minor)) {
        return {};
    }
    return "/dev/" + name;
}

}  // namespace tolven::linux_host::testing
