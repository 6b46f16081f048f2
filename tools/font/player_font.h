// Builds the player's font file from Unifont glyphs: 65,520 cells of 32 bytes, the cell of UTF-16
// code unit c at byte 32 * c. A cell is 16 columns from the left, each a little-endian 16-bit word
// whose bit 0 is the top row. Half-width glyphs fill the left 8 columns.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/font/unifont_hex.h"

namespace tolven::font {

inline constexpr uint32_t kFontCellCount = 65520;  // the code units 0xFFF0..0xFFFF have no cell
inline constexpr size_t kFontCellBytes = 32;

using FontCell = std::array<uint16_t, 16>;  // one word per column, bit y = row y

struct PlayerFontStats {
    uint32_t glyphCells = 0;            // cells with ink, our own marks included
    uint32_t boxedDrawingsDropped = 0;  // Unifont's pictures of codes that are not glyphs
};

// True for the code ranges the player's font draws; every other cell stays empty.
bool IsCoveredCodeUnit(uint32_t code);

// True for the control code units that all show the one placeholder block.
bool IsPlaceholderControl(uint32_t code);

// True when Unifont draws `code` not as a character but as a box: the dashed frame with an
// abbreviation (controls, format characters, variation selectors) or the inverted frame with the
// code's four hex digits (unassigned code points).
bool IsBoxedCodeDrawing(uint32_t code, const UnifontGlyph& glyph);

FontCell PlaceholderCell();
FontCell CellFromGlyph(const UnifontGlyph& glyph);

// The whole font file, kFontCellCount * kFontCellBytes bytes.
std::vector<std::byte> BuildPlayerFont(const UnifontGlyphs& glyphs, PlayerFontStats* stats = nullptr);

}  // namespace tolven::font
