// Little-endian fields in byte images (sectors, directory entries, device descriptors), written and
// read one byte at a time so that the result never depends on the host's byte order or on struct
// padding. The one set of these helpers: the formatter, the FAT32 file layer, the drive scan and
// the hosts all use it, never a struct cast.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tolven {

inline void StoreLe16(std::byte* at, uint16_t value) {
    at[0] = static_cast<std::byte>(value & 0xFFu);
    at[1] = static_cast<std::byte>(value >> 8);
}

inline void StoreLe32(std::byte* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<std::byte>((value >> (8 * i)) & 0xFFu);
    }
}

inline uint16_t LoadLe16(const std::byte* at) {
    return static_cast<uint16_t>(std::to_integer<uint16_t>(at[0]) | (std::to_integer<uint16_t>(at[1]) << 8));
}

inline uint32_t LoadLe32(const std::byte* at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | std::to_integer<uint32_t>(at[i]);
    }
    return value;
}

}  // namespace tolven
