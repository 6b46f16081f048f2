// Linux host, FAT32 file layer: little-endian fields read and written byte by byte, so the layout
// never depends on the host's struct packing or byte order.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tolven::linux_host {

inline uint16_t LoadLe16(const std::byte* p) {
    return static_cast<uint16_t>(std::to_integer<uint16_t>(p[0]) | (std::to_integer<uint16_t>(p[1]) << 8));
}

inline uint32_t LoadLe32(const std::byte* p) {
    return std::to_integer<uint32_t>(p[0]) | (std::to_integer<uint32_t>(p[1]) << 8) |
           (std::to_integer<uint32_t>(p[2]) << 16) | (std::to_integer<uint32_t>(p[3]) << 24);
}

inline void StoreLe16(std::byte* p, uint16_t value) {
    p[0] = static_cast<std::byte>(value & 0xFFu);
    p[1] = static_cast<std::byte>(value >> 8);
}

inline void StoreLe32(std::byte* p, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<std::byte>((value >> (8 * i)) & 0xFFu);
    }
}

}  // namespace tolven::linux_host
