#include "tests/support/little_endian.h"

namespace tolven::testing {

uint16_t Le16(const std::vector<std::byte>& bytes, std::size_t at) {
    return static_cast<uint16_t>(std::to_integer<uint16_t>(bytes.at(at)) |
                                 std::to_integer<uint16_t>(bytes.at(at + 1)) << 8);
}

uint32_t Le32(const std::vector<std::byte>& bytes, std::size_t at) {
    return uint32_t{Le16(bytes, at)} | uint32_t{Le16(bytes, at + 2)} << 16;
}

void PutLe16(std::vector<std::byte>& bytes, std::size_t at, uint16_t value) {
    bytes.at(at) = static_cast<std::byte>(value & 0xFF);
    bytes.at(at + 1) = static_cast<std::byte>(value >> 8);
}

void PutLe32(std::vector<std::byte>& bytes, std::size_t at, uint32_t value) {
    PutLe16(bytes, at, static_cast<uint16_t>(value & 0xFFFF));
    PutLe16(bytes, at + 2, static_cast<uint16_t>(value >> 16));
}

}  // namespace tolven::testing
