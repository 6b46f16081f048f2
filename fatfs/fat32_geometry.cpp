// FAT32 file layer: reading and checking the boot sector, its backup and FSInfo.
#include "fatfs/fat32_geometry.h"

#include <algorithm>
#include <bit>
#include <string>

#include "base/little_endian.h"

namespace tolven {

namespace {

FatStatus NotFat32(const std::string& why) {
    return FatStatus::Fail(FatError::kNotFat32, "not a FAT32 volume: " + why);
}

FatStatus Inconsistent(const std::string& why) {
    return FatStatus::Fail(FatError::kInconsistent, "damaged FAT32 volume: " + why);
}

bool HasBootSignature(std::span<const std::byte> sector) {
    return LoadLe16(&sector[boot_sector::kSignature]) == boot_sector::kSignatureValue;
}

}  // namespace

FatStatus ParseFat32BootSector(std::span<const std::byte> boot, uint32_t deviceSectorSize,
                               uint64_t deviceSectorCount, Fat32Geometry& g) {
    if (boot.size() < kStructureSectorBytes) {
        return NotFat32("the boot sector is shorter than 512 bytes");
    }
    if (!HasBootSignature(boot)) {
        return NotFat32("the boot sector has no 55 AA signature");
    }
    const auto jump = std::to_integer<uint8_t>(boot[boot_sector::kJump]);
    if (jump != boot_sector::kJumpShort && jump != boot_sector::kJumpNear) {
        return NotFat32("the boot sector does not start with a jump instruction");
    }
    using namespace boot_sector;
    g = Fat32Geometry{};
    g.bytesPerSector = LoadLe16(&boot[kBytesPerSector]);
    g.sectorsPerCluster = std::to_integer<uint32_t>(boot[kSectorsPerCluster]);
    g.reservedSectors = LoadLe16(&boot[kReservedSectors]);
    g.fatCount = std::to_integer<uint32_t>(boot[kFatCount]);
    const uint16_t rootEntries = LoadLe16(&boot[kRootEntries]);
    const uint16_t totalSectors16 = LoadLe16(&boot[kTotalSectors16]);
    const uint16_t fatSize16 = LoadLe16(&boot[kFatSize16]);
    g.totalSectors = LoadLe32(&boot[kTotalSectors32]);
    g.fatSize = LoadLe32(&boot[kFatSize32]);
    const uint16_t extendedFlags = LoadLe16(&boot[kExtendedFlags]);
    const uint16_t version = LoadLe16(&boot[kFsVersion]);
    g.rootCluster = LoadLe32(&boot[kRootCluster]);
    g.fsInfoSector = LoadLe16(&boot[boot_sector::kFsInfoSector]);
    g.backupBootSector = LoadLe16(&boot[boot_sector::kBackupBootSector]);

    // What marks FAT32: no fixed root directory, no 16-bit FAT size, 32-bit sector count.
    if (fatSize16 != 0 || g.fatSize == 0) {
        return NotFat32("the sectors-per-FAT fields are those of FAT12/FAT16");
    }
    if (rootEntries != 0) {
        return NotFat32("the boot sector declares a fixed root directory");
    }
    // Small volumes may carry their sector count in the 16-bit field instead, as FAT12/16 do.
    if (totalSectors16 != 0 && g.totalSectors != 0 && totalSectors16 != g.totalSectors) {
        return Inconsistent("the 16-bit and 32-bit sector counts differ");
    }
    if (totalSectors16 != 0) {
        g.totalSectors = totalSectors16;
    }
    if (g.totalSectors == 0) {
        return NotFat32("the volume has no sector count");
    }
    if (version != 0) {
        return NotFat32("unknown file-system version " + std::to_string(version));
    }
    if (g.bytesPerSector < kStructureSectorBytes || g.bytesPerSector > kLargestSectorBytes ||
        !std::has_single_bit(g.bytesPerSector)) {
        return Inconsistent("bytes per sector " + std::to_string(g.bytesPerSector) + " is not 512 to 4096");
    }
    if (g.bytesPerSector != deviceSectorSize) {
        return Inconsistent("bytes per sector " + std::to_string(g.bytesPerSector) +
                            " differ from the device's sector size " + std::to_string(deviceSectorSize));
    }
    if (boot.size() < g.bytesPerSector) {
        return NotFat32("the boot sector buffer is shorter than a sector");
    }
    if (g.sectorsPerCluster == 0 || !std::has_single_bit(g.sectorsPerCluster)) {
        return Inconsistent("sectors per cluster " + std::to_string(g.sectorsPerCluster) +
                            " is not a power of two");
    }
    if (g.fatCount < 1 || g.fatCount > 2) {
        return Inconsistent("the volume has " + std::to_string(g.fatCount) + " FATs");
    }
    if (g.fsInfoSector == 0 || g.fsInfoSector >= g.reservedSectors) {
        return Inconsistent("the FSInfo sector " + std::to_string(g.fsInfoSector) +
                            " is not in the reserved area");
    }
    if (g.backupBootSector == 0 || g.backupBootSector >= g.reservedSectors ||
        g.backupBootSector == g.fsInfoSector) {
        return Inconsistent("the backup boot sector " + std::to_string(g.backupBootSector) +
                            " is not in the reserved area");
    }
    if ((extendedFlags & kNoMirroring) != 0) {
        g.fatMirrored = false;
        g.activeFat = extendedFlags & kActiveFatMask;
        if (g.activeFat >= g.fatCount) {
            return Inconsistent("the active FAT " + std::to_string(g.activeFat) + " does not exist");
        }
    }
    const uint64_t dataStart = uint64_t{g.reservedSectors} + uint64_t{g.fatCount} * g.fatSize;
    if (dataStart >= g.totalSectors) {
        return Inconsistent("the FATs fill the whole volume");
    }
    if (g.totalSectors > deviceSectorCount) {
        return FatStatus::Fail(FatError::kTruncated, "truncated FAT32 volume: the file system has " +
                                                         std::to_string(g.totalSectors) +
                                                         " sectors, the device only " +
                                                         std::to_string(deviceSectorCount));
    }
    const uint64_t clusters = (g.totalSectors - dataStart) / g.sectorsPerCluster;
    if (clusters == 0) {
        return Inconsistent("the volume has no data cluster");
    }
    if (clusters > kLargestClusterCount) {
        return Inconsistent("the volume has more clusters than FAT32 can number");
    }
    g.dataAreaClusters = static_cast<uint32_t>(clusters);
    // A FAT a cluster or two short of the data area is tolerated: the clusters without an entry
    // are never used. A FAT much shorter than that describes another volume.
    constexpr uint64_t kToleratedShortfall = kFirstDataCluster;
    const uint64_t fatEntries = uint64_t{g.fatSize} * g.bytesPerSector / kFatEntryBytes;
    if (fatEntries < clusters + kFirstDataCluster - kToleratedShortfall || fatEntries <= kFirstDataCluster) {
        return Inconsistent("the FAT has room for " + std::to_string(fatEntries) +
                            " entries, the volume has " + std::to_string(clusters) + " clusters");
    }
    g.clusterCount = static_cast<uint32_t>(std::min<uint64_t>(clusters, fatEntries - kFirstDataCluster));
    if (!g.IsDataCluster(g.rootCluster)) {
        return Inconsistent("the root directory cluster " + std::to_string(g.rootCluster) +
                            " is outside the data area");
    }
    return FatStatus::Ok();
}

FatStatus CheckBackupBootSector(std::span<const std::byte> boot, std::span<const std::byte> backup) {
    if (backup.size() < kStructureSectorBytes || !HasBootSignature(backup)) {
        return Inconsistent("the backup boot sector has no 55 AA signature");
    }
    // Every layout field, from bytes per sector to the drive number. The jump, the OEM name, the
    // serial number and the label may differ after another system rewrote only one copy.
    constexpr std::size_t kLayoutStart = boot_sector::kBytesPerSector;
    constexpr std::size_t kLayoutEnd = boot_sector::kDriveNumber;
    if (!std::equal(boot.begin() + kLayoutStart, boot.begin() + kLayoutEnd, backup.begin() + kLayoutStart)) {
        return Inconsistent("the backup boot sector describes a different layout");
    }
    return FatStatus::Ok();
}

bool FsInfoTrusted(const Fat32Geometry& g) {
    // The root directory holds a cluster: a count of every cluster free is no count either.
    const bool countPlausible = g.fsInfoFreeCount != fs_info::kUnknown && g.fsInfoFreeCount < g.clusterCount;
    const bool hintPlausible = g.fsInfoNextFree == fs_info::kUnknown || g.IsDataCluster(g.fsInfoNextFree);
    return countPlausible && hintPlausible;
}

FatStatus ParseFsInfoSector(std::span<const std::byte> fsInfo, Fat32Geometry& g) {
    if (fsInfo.size() < kStructureSectorBytes) {
        return Inconsistent("the FSInfo sector is shorter than 512 bytes");
    }
    using namespace fs_info;
    if (LoadLe32(&fsInfo[kLeadSignature]) != kLeadSignatureValue ||
        LoadLe32(&fsInfo[kStructSignature]) != kStructSignatureValue ||
        LoadLe32(&fsInfo[kTrailSignature]) != kTrailSignatureValue) {
        return Inconsistent("the FSInfo sector lacks its signatures");
    }
    g.fsInfoFreeCount = LoadLe32(&fsInfo[kFreeCount]);
    g.fsInfoNextFree = LoadLe32(&fsInfo[kNextFree]);
    return FatStatus::Ok();
}

}  // namespace tolven
