#include "tests/support/little_endian.h"

#include "base/little_endian.h"

namespace tolven::testing {

namespace {
// Throws std::out_of_range unless `width` bytes from `at` lie inside `bytes`.
void CheckRange(const std::vector<std::byte>& bytes, std::size_t at, std::size_t width) {
    static_cast<void>(bytes.at(at + width - 1));
}
}  // namespace

uint16_t Le16(const std::vector<std::byte>& bytes, std::size_t at) {
    CheckRange(bytes, at, 2);
    return LoadLe16(&bytes[at]);
}

uint32_t Le32(const std::vector<std::byte>& bytes, std::size_t at) {
    CheckRange(bytes, at, 4);
    return LoadLe32(&bytes[at]);
}

void PutLe16(std::vector<std::byte>& bytes, std::size_t at, uint16_t value) {
    CheckRange(bytes, at, 2);
    StoreLe16(&bytes[at], value);
}

void PutLe32(std::vector<std::byte>& bytes, std::size_t at, uint32_t value) {
    CheckRange(bytes, at, 4);
    StoreLe32(&bytes[at], value);
}

}  // namespace tolven::testing
