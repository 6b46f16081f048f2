// Linux host: telling a bare-volume image from an MBR disk image by its sector 0.
#include "platform/linux/volume/image_layout.h"

#include <array>
#include <cstring>

namespace tolven::linux_host {

namespace {

uint8_t ByteAt(std::span<const std::byte> s, std::size_t offset) {
    return std::to_integer<uint8_t>(s[offset]);
}

uint16_t Le16(std::span<const std::byte> s, std::size_t offset) {
    return static_cast<uint16_t>(ByteAt(s, offset) | (ByteAt(s, offset + 1) << 8));
}

uint32_t Le32(std::span<const std::byte> s, std::size_t offset) {
    return static_cast<uint32_t>(ByteAt(s, offset)) | (static_cast<uint32_t>(ByteAt(s, offset + 1)) << 8) |
           (static_cast<uint32_t>(ByteAt(s, offset + 2)) << 16) |
           (static_cast<uint32_t>(ByteAt(s, offset + 3)) << 24);
}

bool IsPowerOfTwo(uint32_t v) {
    return v != 0 && (v & (v - 1)) == 0;
}

bool HasBootSignature(std::span<const std::byte> sector0) {
    return ByteAt(sector0, 510) == 0x55 && ByteAt(sector0, 511) == 0xAA;
}

bool HasJumpInstruction(std::span<const std::byte> sector0) {
    const uint8_t first = ByteAt(sector0, 0);
    return (first == 0xEB && ByteAt(sector0, 2) == 0x90) || first == 0xE9;
}

// A FAT parameter block: sector size, cluster size, reserved area and FAT count all plausible.
// A partition table's boot code practically never satisfies all four at once.
bool HasFatParameterBlock(std::span<const std::byte> sector0) {
    const uint32_t bytesPerSector = Le16(sector0, 11);
    const uint32_t sectorsPerCluster = ByteAt(sector0, 13);
    const uint32_t reservedSectors = Le16(sector0, 14);
    const uint32_t fatCount = ByteAt(sector0, 16);
    return bytesPerSector >= 512 && bytesPerSector <= 4096 && IsPowerOfTwo(bytesPerSector) &&
           IsPowerOfTwo(sectorsPerCluster) && reservedSectors != 0 && fatCount != 0;
}

// Volume formats without a FAT parameter block carry their name where FAT has its OEM name.
bool HasOtherVolumeName(std::span<const std::byte> sector0) {
    static constexpr std::array<const char*, 2> kNames = {"NTFS    ", "EXFAT   "};
    for (const char* name : kNames) {
        if (std::memcmp(sector0.data() + 3, name, 8) == 0) {
            return true;
        }
    }
    return false;
}

// Partition types whose partition is not itself a volume: extended partitions and the
// protective entry of a GUID partition table.
bool IsContainerType(uint8_t type) {
    return type == 0x05 || type == 0x0F || type == 0x85 || type == 0xEE;
}

}  // namespace

MbrEntry ReadMbrEntry(std::span<const std::byte> sector0, int index) {
    const std::size_t base = kMbrFirstEntryOffset + static_cast<std::size_t>(index) * kMbrEntrySize;
    MbrEntry entry;
    entry.bootIndicator = ByteAt(sector0, base);
    entry.type = ByteAt(sector0, base + kMbrEntryTypeOffset);
    entry.startLba = Le32(sector0, base + 8);
    entry.sectorCount = Le32(sector0, base + 12);
    return entry;
}

bool LooksLikeVolumeBootSector(std::span<const std::byte> sector0) {
    if (sector0.size() < kImageSectorSize) {
        return false;
    }
    return HasJumpInstruction(sector0) && (HasFatParameterBlock(sector0) || HasOtherVolumeName(sector0));
}

ImageLayout ClassifyImage(std::span<const std::byte> sector0, uint64_t fileSize) {
    ImageLayout bare;
    if (sector0.size() < kImageSectorSize || !HasBootSignature(sector0) ||
        LooksLikeVolumeBootSector(sector0)) {
        return bare;
    }
    for (int i = 0; i < kMbrEntryCount; ++i) {
        const uint8_t indicator = ReadMbrEntry(sector0, i).bootIndicator;
        if (indicator != 0x00 && indicator != 0x80) {
            return bare;  // not a partition table, only boot code that happens to end in 0x55AA
        }
    }
    const MbrEntry first = ReadMbrEntry(sector0, 0);
    if (first.type == 0 || first.sectorCount == 0 || first.startLba == 0) {
        return bare;
    }
    if (IsContainerType(first.type)) {
        return {ImageKind::kUnsupportedDisk, first};
    }
    const uint64_t fileSectors = fileSize / kImageSectorSize;
    if (static_cast<uint64_t>(first.startLba) + first.sectorCount > fileSectors) {
        return bare;
    }
    return {ImageKind::kMbrDisk, first};
}

}  // namespace tolven::linux_host
