// Paints and encodes every screen block and writes them as files into one folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <vector>

namespace tolven::screens {

// Every block's encoded bytes by id; a copy holds the same bytes as its original.
std::map<uint16_t, std::vector<uint8_t>> EncodeScreenBlocks();
// Writes block_<id>.jpg for every block into `folder`, which must exist. Throws
// std::runtime_error naming the file that could not be written.
void WriteScreenBlocks(const std::filesystem::path& folder);

}  // namespace tolven::screens
