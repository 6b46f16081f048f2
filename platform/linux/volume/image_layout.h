// Linux host: what a disk image file holds. An image is either a bare volume (the volume starts at
// byte 0) or a disk with an MBR partition table whose first partition is the volume. The decision
// is made from sector 0 alone, so it is a pure function and testable without files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace tolven::linux_host {

inline constexpr uint32_t kImageSectorSize = 512;
inline constexpr std::size_t kMbrFirstEntryOffset = 446;
inline constexpr std::size_t kMbrEntrySize = 16;
inline constexpr std::size_t kMbrEntryTypeOffset = 4;
inline constexpr int kMbrEntryCount = 4;

// One 16-byte entry of an MBR partition table.
struct MbrEntry {
    uint8_t bootIndicator = 0;  // 0x80 active, 0x00 inactive; anything else is not a table
    uint8_t type = 0;           // 0 means the entry is unused
    uint32_t startLba = 0;      // first sector of the partition, from the start of the disk
    uint32_t sectorCount = 0;
};

// Reads entry `index` (0..3) of the table in a 512-byte sector 0.
MbrEntry ReadMbrEntry(std::span<const std::byte> sector0, int index);

// True for the first sector of a volume with a file system: a jump instruction and either a
// plausible FAT parameter block or the name of another volume format. Such a sector also ends in
// 0x55 0xAA, which is why it must be told apart from a partition table.
bool LooksLikeVolumeBootSector(std::span<const std::byte> sector0);

enum class ImageKind {
    kBareVolume,       // the whole file is the volume
    kMbrDisk,          // the first MBR partition is the volume
    kUnsupportedDisk,  // a partition table whose first entry is not a plain volume (GPT, extended)
};

struct ImageLayout {
    ImageKind kind = ImageKind::kBareVolume;
    MbrEntry firstEntry;  // valid for kMbrDisk
};

// Decides from sector 0 (shorter spans mean the file has no full sector 0) and the file size.
ImageLayout ClassifyImage(std::span<const std::byte> sector0, uint64_t fileSize);

}  // namespace tolven::linux_host
