#include "bench/loop_device.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "bench/scratch_files.h"

namespace tolven::bench {
namespace {

// "/dev/loopN" over `image`, or empty when loop devices cannot be set up here.
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

// Runs `use` on a loop device over a fresh sparse image at `image`; false when none could be set up.
bool OnFreshLoopDevice(const std::string& image, uint64_t size,
                       const std::function<void(const std::string& device)>& use) {
    std::string device;
    if (CreateSparseImage(image, size)) {
        device = AttachLoop(image);
    }
    if (!device.empty()) {
        use(device);
        DetachLoop(device);
    }
    std::filesystem::remove(image);
    return !device.empty();
}

ChildRun WriteZerosWithDd(const std::string& device, uint64_t bytes) {
    return RunQuietly({FindTool("dd"), "if=/dev/zero", "of=" + device, "bs=64K",
                       "count=" + std::to_string((bytes + 65535) / 65536), "oflag=direct", "conv=fsync"});
}

}  // namespace

std::vector<ChildRun> FormatAgainstDdOnLoopDevices(
    const std::string& folder, uint64_t size, int runs,
    const std::function<uint64_t(const std::string& device)>& format) {
    const std::string image = folder + "/loop.img";
    std::vector<ChildRun> dd;
    for (int i = 0; i < runs; ++i) {
        uint64_t written = 0;
        const bool measured =
            OnFreshLoopDevice(image, size, [&](const std::string& device) { written = format(device); }) &&
            OnFreshLoopDevice(image, size, [&](const std::string& device) {
                dd.push_back(WriteZerosWithDd(device, written));
            });
        if (!measured) {
            std::printf(
                "Loop device: not measured (losetup -f --show failed: needs root and loop support)\n");
            return {};
        }
    }
    return dd;
}

}  // namespace tolven::bench
