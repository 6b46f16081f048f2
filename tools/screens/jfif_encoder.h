// Encodes a painted screen the way the player expects its pictures: a JFIF 1.02 file, baseline
// sequential with Huffman coding, 8-bit YCbCr with every component sampled 1 x 1, in one scan.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/screens/rgb_canvas.h"

namespace tolven::screens {

inline constexpr int kScreenQuality = 90;

// Throws std::runtime_error with the library's message when encoding fails.
std::vector<uint8_t> EncodeJfif(const RgbCanvas& canvas, int quality = kScreenQuality);

}  // namespace tolven::screens
