// Linux host: reading the entries of an MBR partition table.
#include "platform/linux/volume/image_layout.h"

#include "base/little_endian.h"

namespace tolven::linux_host {

namespace {

uint8_t ByteAt(std::span<const std::byte> s, std::size_t offset) {
    return std::to_integer<uint8_t>(s[offset]);
}

}  // namespace

MbrEntry ReadMbrEntry(std::span<const std::byte> sector0, int index) {
    const std::size_t base = kMbrFirstEntryOffset + static_cast<std::size_t>(index) * kMbrEntrySize;
    MbrEntry entry;
    entry.bootIndicator = ByteAt(sector0, base);
    entry.type = ByteAt(sector0, base + kMbrEntryTypeOffset);
    entry.startLba = LoadLe32(&sector0[base + 8]);
    entry.sectorCount = LoadLe32(&sector0[base + 12]);
    return entry;
}

}  // namespace tolven::linux_host
