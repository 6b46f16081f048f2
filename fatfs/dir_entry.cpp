// FAT32 file layer: directory entry fields, byte by byte.
#include "fatfs/dir_entry.h"

#include <algorithm>

#include "base/little_endian.h"

namespace tolven {

FatTimestamp MakeFatTimestamp(const SystemTime& t) {
    // FAT dates cover 1980..2107; a clock outside that range is clamped rather than wrapped.
    const int year = std::clamp<int>(t.wYear, 1980, 2107);
    const int month = std::clamp<int>(t.wMonth, 1, 12);
    const int day = std::clamp<int>(t.wDay, 1, 31);
    const int hour = std::min<int>(t.wHour, 23);
    const int minute = std::min<int>(t.wMinute, 59);
    const int second = std::min<int>(t.wSecond, 59);
    const int millis = std::min<int>(t.wMilliseconds, 999);
    FatTimestamp stamp;
    stamp.date = static_cast<uint16_t>(((year - 1980) << 9) | (month << 5) | day);
    stamp.time = static_cast<uint16_t>((hour << 11) | (minute << 5) | (second / 2));
    stamp.hundredths = static_cast<uint8_t>((second % 2) * 100 + millis / 10);
    return stamp;
}

uint8_t ShortNameChecksum(std::span<const std::byte> raw) {
    uint8_t sum = 0;
    for (std::size_t i = 0; i < kShortNameBytes; ++i) {
        sum = static_cast<uint8_t>(((sum & 1) << 7) + (sum >> 1) + std::to_integer<uint8_t>(raw[i]));
    }
    return sum;
}

DirEntry DecodeDirEntry(std::span<const std::byte> raw) {
    DirEntry entry;
    for (std::size_t i = 0; i < entry.name.size(); ++i) {
        entry.name[i] = static_cast<char>(raw[dir_entry::kName + i]);
    }
    if (entry.name[0] == static_cast<char>(kEntryEscapedE5)) {
        entry.name[0] = static_cast<char>(kEntryDeleted);
    }
    entry.attributes = std::to_integer<uint8_t>(raw[dir_entry::kAttributes]);
    entry.created.hundredths = std::to_integer<uint8_t>(raw[dir_entry::kCreationHundredths]);
    entry.created.time = LoadLe16(&raw[dir_entry::kCreationTime]);
    entry.created.date = LoadLe16(&raw[dir_entry::kCreationDate]);
    entry.accessDate = LoadLe16(&raw[dir_entry::kAccessDate]);
    entry.written.time = LoadLe16(&raw[dir_entry::kWriteTime]);
    entry.written.date = LoadLe16(&raw[dir_entry::kWriteDate]);
    entry.firstCluster = (uint32_t{LoadLe16(&raw[dir_entry::kFirstClusterHigh])} << 16) |
                         LoadLe16(&raw[dir_entry::kFirstClusterLow]);
    entry.size = LoadLe32(&raw[dir_entry::kFileSize]);
    return entry;
}

void EncodeDirEntry(const DirEntry& entry, std::span<std::byte> raw) {
    std::fill(raw.begin(), raw.begin() + kDirEntryBytes, std::byte{0});
    for (std::size_t i = 0; i < entry.name.size(); ++i) {
        raw[dir_entry::kName + i] = static_cast<std::byte>(entry.name[i]);
    }
    if (entry.name[0] == static_cast<char>(kEntryDeleted)) {
        raw[0] = static_cast<std::byte>(kEntryEscapedE5);  // E5 would mark the entry deleted
    }
    raw[dir_entry::kAttributes] = static_cast<std::byte>(entry.attributes);
    raw[dir_entry::kCreationHundredths] = static_cast<std::byte>(entry.created.hundredths);
    StoreLe16(&raw[dir_entry::kCreationTime], entry.created.time);
    StoreLe16(&raw[dir_entry::kCreationDate], entry.created.date);
    StoreLe16(&raw[dir_entry::kAccessDate], entry.accessDate);
    StoreLe16(&raw[dir_entry::kFirstClusterHigh], static_cast<uint16_t>(entry.firstCluster >> 16));
    StoreLe16(&raw[dir_entry::kWriteTime], entry.written.time);
    StoreLe16(&raw[dir_entry::kWriteDate], entry.written.date);
    StoreLe16(&raw[dir_entry::kFirstClusterLow], static_cast<uint16_t>(entry.firstCluster & 0xFFFFu));
    StoreLe32(&raw[dir_entry::kFileSize], entry.size);
}

}  // namespace tolven
