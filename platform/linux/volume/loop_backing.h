// Linux host: the file behind a loop device. Cutting that file short leaves the device's length
// as it was, while every sector past the file's new end reads as nothing: a run on a loop device
// watches the file as it watches an image's own length.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/linux/volume/sysfs_block.h"

namespace tolven::linux_host {

struct LoopBacking {
    std::string path;  // as sysfs names it
    uint64_t device = 0;
    uint64_t inode = 0;
    uint64_t offset = 0;  // where the device starts in the file, in bytes
};

// Null when `fd` is no loop device or its file cannot be named.
std::optional<LoopBacking> ReadLoopBacking(int fd, const std::filesystem::path& sysfsRoot = kSysfsRoot);

// The bytes the file holds from the device's start on; null when the path no longer names it.
std::optional<uint64_t> LoopBackingLength(const LoopBacking& backing);

}  // namespace tolven::linux_host
