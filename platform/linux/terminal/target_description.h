// Linux host, terminal: the target named in Linux terms before the question, so the user sees
// what a yes destroys: path, size, identification, partition table, file systems and mounts.
#pragma once

#include <string>

#include "platform/linux/host/drive_table.h"
#include "platform/linux/volume/target_facts.h"

namespace tolven::linux_host {

// English lines, each ending in a newline.
std::string DescribeTarget(const DriveTarget& target, const TargetFacts& facts);

// Gathers the target's facts now, through the run's descriptor, and describes them (or says why
// they cannot be read).
std::string DescribeTargetNow(TargetTable& targets, const DriveTarget& target);

}  // namespace tolven::linux_host
