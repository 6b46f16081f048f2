#include "tools/font/player_font.h"

#include <string_view>

namespace tolven::font {
namespace {

struct CodeRange {
    uint32_t first;
    uint32_t last;
};

// Controls and ASCII, Latin-1, Latin extended and spacing modifiers, combining marks, Greek,
// Cyrillic; punctuation to CJK compatibility forms; CJK unified ideographs; Hangul syllables; CJK
// compatibility ideographs; presentation forms; half-width and full-width forms.
constexpr CodeRange kCoveredRanges[] = {
    {0x0001, 0x04FF}, {0x2000, 0x33FF}, {0x4E00, 0x9FFF},
    {0xAC00, 0xD7A3}, {0xF900, 0xFEFF}, {0xFF00, 0xFFEF},
};

// Unifont's tiny hex digits 0..F inside its boxes for unassigned code points: 4 x 5 pixels, row by
// row from the top, the leftmost pixel of a row in the row's highest bit.
constexpr uint32_t kBoxDigits[16] = {
    0x69996, 0x26227, 0xF1F8F, 0xE171E, 0x99F11, 0xF8F1F, 0x68E96, 0xF1244,
    0x69696, 0x69716, 0xF9F99, 0xE9E9E, 0x78887, 0xE999E, 0xF8E8F, 0xF8E88,
};

// The inverted box: a solid 14 x 14 square at rows and columns 1..14; the four digits of the code
// are cut out of it, two above (rows 2..6) and two below (rows 9..13), at columns 3..6 and 9..12.
std::array<uint16_t, 16> HexCodeBoxRows(uint32_t code) {
    std::array<uint16_t, 16> rows{};
    for (int y = 1; y <= 14; ++y) {
        rows[y] = 0x7FFE;
    }
    constexpr int kDigitTop[4] = {2, 2, 9, 9};
    constexpr int kDigitLeft[4] = {3, 9, 3, 9};
    for (int i = 0; i < 4; ++i) {
        const uint32_t shape = kBoxDigits[(code >> (12 - 4 * i)) & 0xF];
        for (int y = 0; y < 5; ++y) {
            const uint32_t rowBits = (shape >> (4 * (4 - y))) & 0xF;
            for (int x = 0; x < 4; ++x) {
                if (rowBits & (0x8u >> x)) {
                    rows[kDigitTop[i] + y] &= static_cast<uint16_t>(~(0x8000u >> (kDigitLeft[i] + x)));
                }
            }
        }
    }
    return rows;
}

// A glyph drawn from 16 text rows of '#' (ink) and '.', 8 or 16 characters wide.
FontCell CellFromPicture(const std::array<std::string_view, 16>& picture) {
    FontCell cell{};
    for (size_t y = 0; y < picture.size(); ++y) {
        for (size_t x = 0; x < picture[y].size() && x < 16; ++x) {
            if (picture[y][x] == '#') {
                cell[x] |= static_cast<uint16_t>(1u << y);
            }
        }
    }
    return cell;
}

// Small marks of our own for U+0091 and U+0092: text in the Windows code page that is read as
// Latin-1 carries its single quotation marks there, so they are drawn as a small opening and
// closing quote.
FontCell OpeningMarkCell() {
    return CellFromPicture({"........", "........", "....#...", "...#....", "...##...", "...##...",
                            "........", "........", "........", "........", "........", "........",
                            "........", "........", "........", "........"});
}

FontCell ClosingMarkCell() {
    return CellFromPicture({"........", "........", "...##...", "...##...", "....#...", "...#....",
                            "........", "........", "........", "........", "........", "........",
                            "........", "........", "........", "........"});
}

bool IsEmptyByRule(uint32_t code) {
    return code == 0x0000 || code == 0x000A || code == 0x000D || code == 0x0020 || code == 0x00A0;
}

bool HasInk(const FontCell& cell) {
    for (uint16_t column : cell) {
        if (column != 0) {
            return true;
        }
    }
    return false;
}

void StoreCell(std::vector<std::byte>& font, uint32_t code, const FontCell& cell) {
    const size_t offset = static_cast<size_t>(code) * kFontCellBytes;
    for (size_t x = 0; x < cell.size(); ++x) {
        font[offset + 2 * x] = static_cast<std::byte>(cell[x] & 0xFF);
        font[offset + 2 * x + 1] = static_cast<std::byte>(cell[x] >> 8);
    }
}

}  // namespace

bool IsCoveredCodeUnit(uint32_t code) {
    for (const CodeRange& range : kCoveredRanges) {
        if (code >= range.first && code <= range.last) {
            return true;
        }
    }
    return false;
}

bool IsPlaceholderControl(uint32_t code) {
    if (code >= 0x0001 && code <= 0x001F) {
        return code != 0x000A && code != 0x000D;
    }
    if (code >= 0x0080 && code <= 0x009F) {
        return code != 0x0091 && code != 0x0092;
    }
    return code == 0x007F;
}

bool IsBoxedCodeDrawing(uint32_t code, const UnifontGlyph& glyph) {
    // The dashed frame: its top row starts inked at the left, its bottom row ends inked at the
    // right, every other pixel between. The abbreviation inside may touch the sides.
    if (glyph.width == 16 && glyph.rows[0] == 0xAAAA && glyph.rows[15] == 0x5555) {
        return true;
    }
    return glyph.width == 16 && glyph.rows == HexCodeBoxRows(code);
}

FontCell PlaceholderCell() {
    FontCell cell{};
    for (int x = 3; x <= 5; ++x) {
        cell[x] = 0x1FF0;  // rows 4 to 12
    }
    return cell;
}

FontCell CellFromGlyph(const UnifontGlyph& glyph) {
    FontCell cell{};
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < glyph.width; ++x) {
            if (glyph.rows[y] & (0x8000u >> x)) {
                cell[x] |= static_cast<uint16_t>(1u << y);
            }
        }
    }
    return cell;
}

std::vector<std::byte> BuildPlayerFont(const UnifontGlyphs& glyphs, PlayerFontStats* stats) {
    std::vector<std::byte> font(static_cast<size_t>(kFontCellCount) * kFontCellBytes);
    PlayerFontStats counts;
    for (uint32_t code = 0; code < kFontCellCount; ++code) {
        FontCell cell{};
        if (IsPlaceholderControl(code)) {
            cell = PlaceholderCell();
        } else if (code == 0x0091) {
            cell = OpeningMarkCell();
        } else if (code == 0x0092) {
            cell = ClosingMarkCell();
        } else if (!IsEmptyByRule(code) && IsCoveredCodeUnit(code)) {
            const auto found = glyphs.find(code);
            if (found == glyphs.end()) {
                continue;
            }
            if (IsBoxedCodeDrawing(code, found->second)) {
                ++counts.boxedDrawingsDropped;
                continue;
            }
            cell = CellFromGlyph(found->second);
        }
        if (HasInk(cell)) {
            ++counts.glyphCells;
            StoreCell(font, code, cell);
        }
    }
    if (stats != nullptr) {
        *stats = counts;
    }
    return font;
}

}  // namespace tolven::font
