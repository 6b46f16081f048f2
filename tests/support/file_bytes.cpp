#include "tests/support/file_bytes.h"

#include <algorithm>
#include <fstream>

namespace tolven::testing {

std::vector<std::byte> ReadFileBytes(const std::filesystem::path& path, uintmax_t limit) {
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(path, error);
    if (error) {
        return {};
    }
    std::vector<std::byte> bytes(static_cast<std::size_t>(std::min(limit, size)));
    std::ifstream in(path, std::ios::binary);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

}  // namespace tolven::testing
