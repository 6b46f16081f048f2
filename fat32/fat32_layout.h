// Where everything goes on a FAT32 volume: sectors per cluster, the size of each FAT and the
// number of data clusters, computed from the partition length alone. Plain integer arithmetic,
// no device needed. Two refusal points: the size admission (before any buffer is taken) and the
// cluster limits (after the layout has been reported in the log).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "fat32/fat32_on_disk.h"

namespace tolven {

inline constexpr uint32_t kFat32ReservedSectors = 32;
inline constexpr uint32_t kFat32FatCount = 2;
inline constexpr uint32_t kSmallestVolumeSectors = 65'536;         // 32 MiB at 512 bytes
inline constexpr uint32_t kLargestVolumeSectors = 4'294'967'294u;  // 2^32 - 2
inline constexpr uint32_t kLargestSectorsPerCluster = 128;

struct Fat32Layout {
    uint32_t bytesPerSector = 512;
    uint32_t totalSectors = 0;
    uint32_t sectorsPerCluster = 0;  // a power of two up to 128 for a consistent volume
    uint16_t reservedSectors = kFat32ReservedSectors;
    uint8_t fatCount = kFat32FatCount;
    uint32_t fatSize = 0;  // sectors per FAT
    uint32_t clusterCount = 0;
    uint32_t freeClusters = 0;  // all but cluster 2, the root directory

    // First sector of FAT number `fat` (0 or 1).
    uint32_t FatStartSector(uint32_t fat) const { return reservedSectors + fat * fatSize; }
    // Cluster 2, the root directory, opens the data area.
    uint32_t DataStartSector() const { return reservedSectors + fatCount * fatSize; }
    // What a quick format clears: reserved area, both FATs and the root directory cluster.
    uint32_t ClearCount() const { return DataStartSector() + sectorsPerCluster; }

    bool operator==(const Fat32Layout&) const = default;
};

// Cluster size in sectors chosen from the partition size (used when the request gives 0).
uint8_t ChooseSectorsPerCluster(int64_t partitionLength, uint32_t bytesPerSector);

// Size admission: the volume's sector count, or the refusal message when the volume has fewer
// than 65,536 or more than 4,294,967,294 sectors.
struct SizeAdmission {
    uint32_t totalSectors = 0;
    const char16_t* refusal = nullptr;  // null when admitted
};
SizeAdmission AdmitVolumeSize(int64_t partitionLength, uint32_t bytesPerSector);

// The layout of an admitted volume. requestedSectorsPerCluster 0 means "choose by size"; any
// other value is taken as given. The FAT always holds an entry for every cluster plus the two
// reserved entries.
Fat32Layout ComputeFat32Layout(int64_t partitionLength, uint32_t bytesPerSector, uint32_t totalSectors,
                               uint32_t requestedSectorsPerCluster);

// Cluster limits: null when the layout can be written, else the refusal message. A cluster size
// that is no power of two or above 128 sectors is refused as too many clusters, as is a count
// above kLargestClusterCount.
const char16_t* CheckClusterLimits(const Fat32Layout& layout);

// The six status-log lines that report a layout, in the order they are written.
std::array<std::u16string, 6> LayoutLines(const Fat32Layout& layout, int64_t partitionLength,
                                          uint32_t volumeId);

}  // namespace tolven
