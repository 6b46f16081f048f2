// Linux host: what a target is before anything is written to it, for naming it to the user: its
// kind and size, its partition table and partitions, every file-system signature on it, and the
// mounts that use it. Only read; nothing is claimed or changed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/linux/volume/disk_probe.h"
#include "platform/linux/volume/mount_state.h"
#include "platform/linux/volume/target_table.h"

namespace tolven::linux_host {

struct TargetFacts {
    std::string path;
    bool isBlockDevice = false;  // else a regular file (a disk image)
    uint64_t sizeBytes = 0;
    int probeError = 0;  // errno when the contents could not be read (0: `probe` is valid)
    DiskProbe probe;
    std::vector<MountedFileSystem> mounts;  // of it, its partitions, or (images) its loop devices
};

// Reads the facts through the run's descriptor of the target. Returns 0, or the errno of sizing it.
int GatherTargetFacts(OpenTarget& target, TargetFacts& facts);

// The mounts that use the target (see TargetFacts::mounts). Empty when none, or not known.
std::vector<MountedFileSystem> MountsOfTarget(const std::string& path);

}  // namespace tolven::linux_host
