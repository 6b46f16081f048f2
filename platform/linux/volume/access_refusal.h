// Linux host: why the target could not be taken for the format, in the words the terminal prints.
#pragma once

#include <string>

#include "platform/linux/host/status.h"

namespace tolven::linux_host {

// The open, claim or read of the target at `path` failed with errno `error`. With the target's
// descriptor `fd`, the program holding a lock on it, or the partition table that must not be
// formatted over, is named.
Status AccessRefusal(const std::string& path, int error, int fd = -1);

}  // namespace tolven::linux_host
