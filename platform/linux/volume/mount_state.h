// Linux host: whether a target is in use by a mounted file system, as the kernel's mount table
// (/proc/self/mountinfo, read with libmount) says: the device itself or any partition of it, and
// for an image file every loop device it backs.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/linux/volume/sysfs_block.h"

namespace tolven::linux_host {

struct MountedFileSystem {
    std::string source;  // the mounted device, "/dev/sdb1"
    std::string target;  // where, "/media/user/PLAYER"
};

struct BlockNumber {
    uint32_t major = 0;
    uint32_t minor = 0;
    bool operator==(const BlockNumber&) const = default;
};

// The device numbers a target spans: a block device and its partitions; for an image file, the
// loop devices it backs and their partitions.
std::vector<BlockNumber> DevicesOfBlockDevice(BlockNumber device,
                                              const std::filesystem::path& sysfsRoot = kSysfsRoot);
std::vector<BlockNumber> DevicesOfImageFile(const std::filesystem::path& image,
                                            const std::filesystem::path& sysfsRoot = kSysfsRoot);

// The mounts, in the table `mountInfo`, of any of `devices`. Empty when the table cannot be read.
std::vector<MountedFileSystem> FindMounts(const std::vector<BlockNumber>& devices,
                                          const std::string& mountInfo = "/proc/self/mountinfo");

}  // namespace tolven::linux_host
