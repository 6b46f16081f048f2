// FAT32 file layer: where everything lies on a FAT32 volume, read from its boot
// sector, checked against its backup copy, its FSInfo sector and the device that holds it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "fat32/fat32_on_disk.h"
#include "fatfs/fat_status.h"

namespace tolven {

struct Fat32Geometry {
    uint32_t bytesPerSector = 0;
    uint32_t sectorsPerCluster = 0;
    uint32_t reservedSectors = 0;
    uint32_t fatCount = 0;
    uint32_t fatSize = 0;  // sectors per FAT
    uint32_t totalSectors = 0;
    uint32_t rootCluster = 0;
    uint32_t fsInfoSector = 0;
    uint32_t backupBootSector = 0;
    // Data clusters, numbered 2 .. clusterCount + 1: those of the data area that have a FAT entry.
    uint32_t clusterCount = 0;
    // Clusters the data area holds; one or two more than clusterCount when the FAT is a little
    // short (some formatters size it without its two reserved entries).
    uint32_t dataAreaClusters = 0;
    bool fatMirrored = true;  // false: only activeFat is used
    uint32_t activeFat = 0;
    uint32_t fsInfoFreeCount = fs_info::kUnknown;  // as found on the volume
    uint32_t fsInfoNextFree = fs_info::kUnknown;

    uint32_t ClusterBytes() const { return bytesPerSector * sectorsPerCluster; }
    uint32_t LastCluster() const { return clusterCount + 1; }
    bool IsDataCluster(uint32_t cluster) const {
        return cluster >= kFirstDataCluster && cluster <= LastCluster();
    }
    uint64_t FatOffset(uint32_t fatIndex) const {
        return (uint64_t{reservedSectors} + uint64_t{fatIndex} * fatSize) * bytesPerSector;
    }
    uint64_t DataOffset() const { return FatOffset(fatCount); }
    uint64_t ClusterOffset(uint32_t cluster) const {
        return DataOffset() + uint64_t{cluster - kFirstDataCluster} * ClusterBytes();
    }
};

// Reads the boot sector (one sector of deviceSectorSize bytes) of a device of deviceSectorCount
// sectors. Fills everything but the FSInfo fields.
FatStatus ParseFat32BootSector(std::span<const std::byte> bootSector, uint32_t deviceSectorSize,
                               uint64_t deviceSectorCount, Fat32Geometry& geometry);

// The backup must describe the same volume: same signature and identical layout fields.
FatStatus CheckBackupBootSector(std::span<const std::byte> bootSector, std::span<const std::byte> backup);

// Checks the three FSInfo signatures and stores its free count and next-free hint as found.
FatStatus ParseFsInfoSector(std::span<const std::byte> fsInfo, Fat32Geometry& geometry);

// Whether FSInfo's values can stand in for a count over the whole FAT: a known free count below
// the cluster count (the root holds one), and a hint that is unknown or a data cluster. Anything else
// (another system's leftovers, a damaged sector) is recounted from the FAT.
bool FsInfoTrusted(const Fat32Geometry& geometry);

}  // namespace tolven
