// Linux host: what a target is before anything is written to it, for naming it to the user: its
// kind and size, its partition table and partitions, every file-system signature on it, and the
// mounts that use it. Read through a read-only descriptor; nothing is claimed or changed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/linux/volume/disk_probe.h"
#include "platform/linux/volume/mount_state.h"

namespace tolven::linux_host {

struct TargetFacts {
    std::string path;
    bool isBlockDevice = false;  // else a regular file (a disk image)
    uint64_t sizeBytes = 0;
    int probeError = 0;  // errno when the contents could not be read (0: `probe` is valid)
    DiskProbe probe;
    std::vector<MountedFileSystem> mounts;  // of it, its partitions, or (images) its loop devices
};

// Returns 0, or the errno of opening or sizing the target.
int GatherTargetFacts(const std::string& path, TargetFacts& facts);

// The mounts that use the target (see TargetFacts::mounts). Empty when none, or not known.
std::vector<MountedFileSystem> MountsOfTarget(const std::string& path);

}  // namespace tolven::linux_host
