// Reads the glyph source of GNU Unifont: one line per code point, "XXXX:" followed by 32 hex digits
// (an 8-pixel-wide glyph) or 64 (16 pixels wide), 16 rows from the top, leftmost pixel in the
// highest bit of each row.
#pragma once

#include <array>
#include <cstdint>
#include <istream>
#include <map>
#include <string>

namespace tolven::font {

struct UnifontGlyph {
    int width = 0;                    // 8 or 16 pixels
    std::array<uint16_t, 16> rows{};  // left-aligned: pixel x of a row is bit (15 - x)
};

using UnifontGlyphs = std::map<uint32_t, UnifontGlyph>;

// Every glyph of the Basic Multilingual Plane in the stream. Throws std::runtime_error naming the
// line on anything that is not a well-formed glyph line.
UnifontGlyphs ReadUnifontHex(std::istream& in);

}  // namespace tolven::font
