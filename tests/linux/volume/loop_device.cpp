#include "tests/linux/volume/loop_device.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <fstream>

#include "tests/support/external_tools.h"

namespace tolven::linux_host::testing {

namespace {

using tolven::testing::ShellQuote;

bool Run(const std::string& command, std::string& output) {
    const tolven::testing::CommandResult result = tolven::testing::RunCommand(command);
    output = result.output;
    while (!output.empty() && output.back() == '\n') {
        output.pop_back();
    }
    return result.exitCode == 0;
}

}  // namespace

LoopDevice::LoopDevice(const std::string& image) {
    if (::geteuid() != 0) {
        why_ = "loop devices need root";
        return;
    }
    std::string output;
    if (!Run("losetup --find --show " + ShellQuote(image), output) || output.rfind("/dev/loop", 0) != 0) {
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
