// Linux host, FAT32 file layer: directory entry fields, byte by byte.
#include "platform/linux/fatfs/dir_entry.h"

#include <algorithm>

#include "base/little_endian.h"

namespace tolven::linux_host {

namespace {
// A first name byte of 0x05 stands for 0xE5, which would otherwise mark the entry deleted.
constexpr char kEscapedE5 = 0x05;
}  // namespace

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
    for (std::size_t i = 0; i < 11; ++i) {
        sum = static_cast<uint8_t>(((sum & 1) << 7) + (sum >> 1) + std::to_integer<uint8_t>(raw[i]));
    }
    return sum;
}

DirEntry DecodeDirEntry(std::span<const std::byte> raw) {
    DirEntry entry;
    for (std::size_t i = 0; i < entry.name.size(); ++i) {
        entry.name[i] = static_cast<char>(raw[i]);
    }
    if (entry.name[0] == kEscapedE5) {
        entry.name[0] = static_cast<char>(kEntryDeleted);
    }
    entry.attributes = std::to_integer<uint8_t>(raw[11]);
    entry.created.hundredths = std::to_integer<uint8_t>(raw[13]);
    entry.created.time = LoadLe16(&raw[14]);
    entry.created.date = LoadLe16(&raw[16]);
    entry.accessDate = LoadLe16(&raw[18]);
    entry.written.time = LoadLe16(&raw[22]);
    entry.written.date = LoadLe16(&raw[24]);
    entry.firstCluster = (uint32_t{LoadLe16(&raw[20])} << 16) | LoadLe16(&raw[26]);
    entry.size = LoadLe32(&raw[28]);
    return entry;
}

void EncodeDirEntry(const DirEntry& entry, std::span<std::byte> raw) {
    std::fill(raw.begin(), raw.begin() + kDirEntryBytes, std::byte{0});
    for (std::size_t i = 0; i < entry.name.size(); ++i) {
        raw[i] = static_cast<std::byte>(entry.name[i]);
    }
    if (entry.name[0] == static_cast<char>(kEntryDeleted)) {
        raw[0] = static_cast<std::byte>(kEscapedE5);
    }
    raw[11] = static_cast<std::byte>(entry.attributes);
    raw[13] = static_cast<std::byte>(entry.created.hundredths);
    StoreLe16(&raw[14], entry.created.time);
    StoreLe16(&raw[16], entry.created.date);
    StoreLe16(&raw[18], entry.accessDate);
    StoreLe16(&raw[20], static_cast<uint16_t>(entry.firstCluster >> 16));
    StoreLe16(&raw[22], entry.written.time);
    StoreLe16(&raw[24], entry.written.date);
    StoreLe16(&raw[26], static_cast<uint16_t>(entry.firstCluster & 0xFFFFu));
    StoreLe32(&raw[28], entry.size);
}

}  // namespace tolven::linux_host
