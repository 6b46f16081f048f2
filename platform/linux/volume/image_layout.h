// Linux host: the entries of an MBR partition table, read field by field from sector 0. Which
// table a disk holds is decided by the disk probe; these are read when a known entry is rewritten.
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

}  // namespace tolven::linux_host
