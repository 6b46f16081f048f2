// Linux host, terminal: the targets that get drive letters. The TARGETs named on the command line
// (block devices, or disk image files that report the identification of --vendor and --product),
// or without any, the machine's USB disks.
#pragma once

#include <string>
#include <vector>

#include "platform/linux/host/drive_table.h"
#include "platform/linux/host/status.h"
#include "platform/linux/terminal/image_files.h"
#include "platform/linux/terminal/terminal_options.h"

namespace tolven::linux_host {

// Fills `drives`. Every named target is looked at before any image is created, and an image that
// is missing is created (into `created`) only when all of them can be used. Returns ok, or why a
// named target cannot be used (an image that cannot be created, a --size that differs from an
// existing image's). `notes` gets a line for each whole disk that
// stands for its first partition.
Status AddTargets(const TerminalOptions& options, DriveTable& drives, CreatedImages& created,
                  std::vector<std::string>& notes);

}  // namespace tolven::linux_host
