// Linux host: where the volume lies on a target and how the target describes it. Three kinds of
// target: a disk image holding a bare volume, a disk image holding an MBR disk (its first
// partition is the volume), and a block device (a partition or a whole disk).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/linux/volume/sysfs_block.h"
#include "platform/linux/volume/target_table.h"

namespace tolven::linux_host {

struct VolumePlacement {
    uint32_t sectorSize = 0;
    uint32_t heads = 0;
    uint32_t sectorsPerTrack = 0;
    uint64_t diskLength = 0;    // bytes of what the descriptor addresses
    uint64_t volumeOffset = 0;  // bytes from the descriptor's start to the volume's first byte
    uint64_t volumeLength = 0;  // bytes; nothing at or beyond it is ever touched
    uint32_t hiddenSectors = 0;

    // The partition table entry that describes the volume, when there is one.
    bool hasTableEntry = false;
    uint32_t partitionNumber = 0;
    uint8_t partitionType = 0;
    bool bootIndicator = false;
    std::string tablePath;         // disk node holding the table; empty: the table is in the target
    uint64_t tableDevice = 0;      // st_rdev that node must have
    uint32_t tableEntryStart = 0;  // the entry's start LBA, checked again before the table is rewritten
};

// Reads the placement from the target's descriptor: sector 0 and the size of an image, the
// ioctls and sysfs facts of a block device. Returns 0 or errno (EMEDIUMTYPE for a disk image
// whose first partition is not a volume).
int ReadVolumePlacement(OpenTarget& target, const std::filesystem::path& sysfsRoot,
                        VolumePlacement& placement);

// Rewrites the type byte of the volume's partition entry and flushes it. A target without an
// entry has nothing to change. Returns 0 or errno.
int WritePartitionType(OpenTarget& target, VolumePlacement& placement, uint8_t type);

}  // namespace tolven::linux_host
