// Linux host: the checks of a target named on the command line that come before any question. A
// whole disk that holds a partition table stands for its first partition's node; a target whose
// table must not be formatted over is refused with an English reason.
#pragma once

#include <filesystem>
#include <string>

#include "platform/linux/host/status.h"
#include "platform/linux/volume/sysfs_block.h"

namespace tolven::linux_host {

struct TableCheck {
    std::string path;     // the node to use: the one named, or the first partition of a whole disk
    std::string note;     // English, when the path was replaced
    Status refusal;       // names `path`; ok when it may be formatted
    bool probed = false;  // false: the target could not be read, and nothing was decided
};

// Opens the target read only and without blocking; a target that cannot be opened, or is neither
// a regular file nor a block device, is left to the open that follows, which reports it.
TableCheck CheckPartitionTable(const std::string& path, const std::filesystem::path& sysfsRoot = kSysfsRoot,
                               const std::filesystem::path& devRoot = "/dev");

// Why the volume placement refuses the open target `fd` (the partition table in its sector 0), as
// text to follow its path in quotes. Empty when the table cannot be read now.
std::string TableRefusalOf(int fd);

}  // namespace tolven::linux_host
