// Test helpers: little-endian fields read from and written into byte buffers by offset, over the
// project's one set of helpers (base/little_endian.h, whose byte order the formatter's tests pin
// byte by byte). Out-of-range offsets throw.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tolven::testing {

uint16_t Le16(const std::vector<std::byte>& bytes, std::size_t at);
uint32_t Le32(const std::vector<std::byte>& bytes, std::size_t at);

void PutLe16(std::vector<std::byte>& bytes, std::size_t at, uint16_t value);
void PutLe32(std::vector<std::byte>& bytes, std::size_t at, uint32_t value);

}  // namespace tolven::testing
