// Linux host, terminal: the targets that get drive letters. The TARGETs named on the command line
// (block devices, or disk image files that report the identification of --vendor and --product),
// or without any, the machine's USB disks.
#pragma once

#include <string>

#include "platform/linux/host/drive_table.h"
#include "platform/linux/terminal/terminal_options.h"

namespace tolven::linux_host {

// Fills `drives`. Returns an empty text, or the English reason why a named target cannot be used
// (an image that cannot be created, a --size that differs from an existing image's).
std::string AddTargets(const TerminalOptions& options, DriveTable& drives);

}  // namespace tolven::linux_host
