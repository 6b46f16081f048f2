// FAT32 file layer: the 32-byte directory entry and the FAT date and time fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "fat32/fat32_on_disk.h"
#include "fat32/volume_access.h"
#include "fatfs/short_name.h"

namespace tolven {

// A FAT time stamp: date (year - 1980, month, day), time (hour, minute, two-second steps) and the
// creation time's hundredths (0..199).
struct FatTimestamp {
    uint16_t date = 0;
    uint16_t time = 0;
    uint8_t hundredths = 0;
};
FatTimestamp MakeFatTimestamp(const SystemTime& localTime);

struct DirEntry {
    ShortName name{};
    uint8_t attributes = 0;
    uint32_t firstCluster = 0;
    uint32_t size = 0;
    FatTimestamp created;
    uint16_t accessDate = 0;
    FatTimestamp written;

    bool IsDirectory() const { return (attributes & kAttrDirectory) != 0; }
    bool IsVolumeLabel() const { return (attributes & kAttrVolumeId) != 0 && !IsLongNamePiece(); }
    bool IsLongNamePiece() const { return (attributes & kAttrLongName) == kAttrLongName; }
};

// Entries of these first bytes are not in use.
inline bool IsEndEntry(std::span<const std::byte> raw) {
    return std::to_integer<uint8_t>(raw[0]) == kEntryEnd;
}
inline bool IsDeletedEntry(std::span<const std::byte> raw) {
    return std::to_integer<uint8_t>(raw[0]) == kEntryDeleted;
}

// A long-name piece names its short entry (at dir_entry::kLongNameChecksum) by this checksum of
// the 11 stored name bytes.
uint8_t ShortNameChecksum(std::span<const std::byte> raw);

DirEntry DecodeDirEntry(std::span<const std::byte> raw);
// Writes all 32 bytes.
void EncodeDirEntry(const DirEntry& entry, std::span<std::byte> raw);

}  // namespace tolven
