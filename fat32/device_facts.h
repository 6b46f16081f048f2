// What the access stage learns about the volume before anything is written to it.
#pragma once

#include <cstdint>

namespace tolven {

struct DeviceFacts {
    uint32_t bytesPerSector = 0;     // 0: not reported (never admitted: only 512 is)
    uint32_t sectorsPerTrack = 0;    // 0: not reported; goes into the boot sector as is
    uint32_t tracksPerCylinder = 0;  // heads; 0: not reported; goes into the boot sector as is
    int64_t partitionLength = 0;     // bytes; 0 or less: too small to format
    uint32_t hiddenSectors = 0;      // sectors before the volume on its disk
};

// A volume with no sector before it starts at the disk's first sector, where a partition table
// would be: the disk is one bare volume, and there is no partition entry whose type could be set.
inline bool HasPartitionEntry(const DeviceFacts& device) {
    return device.hiddenSectors != 0;
}

}  // namespace tolven
