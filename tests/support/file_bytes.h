// Test helper: a file's bytes, for comparing what a tool or the program wrote with what was meant.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace tolven::testing {

// The first `limit` bytes of the file (all of it by default); empty when it cannot be read.
std::vector<std::byte> ReadFileBytes(const std::filesystem::path& path, uintmax_t limit = UINTMAX_MAX);

}  // namespace tolven::testing
