// Linux host: the checks of a target named on the command line that come before any question. A
// whole disk that holds a partition table stands for its first partition's node; a target whose
// table must not be formatted over is refused with an English reason.
#pragma once

#include <filesystem>
#include <string>

#include "platform/linux/volume/sysfs_block.h"

namespace tolven::linux_host {

struct TargetCheck {
    std::string path;     // the node to use: the one named, or the first partition of a whole disk
    std::string note;     // English, when the path was replaced
    std::string refusal;  // English, empty when the target may be formatted
};

// Opens the target read only and without blocking; a target that cannot be opened, or is neither
// a regular file nor a block device, is left to the open that follows, which reports it.
TargetCheck CheckTarget(const std::string& path, const std::filesystem::path& sysfsRoot = kSysfsRoot,
                        const std::filesystem::path& devRoot = "/dev");

}  // namespace tolven::linux_host
