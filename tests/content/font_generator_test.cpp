#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>

#include "tools/font/player_font.h"
#include "tools/font/unifont_hex.h"

namespace tolven::font {
namespace {

UnifontGlyph GlyphFromHex(const std::string& line) {
    std::istringstream in(line + "\n");
    const UnifontGlyphs glyphs = ReadUnifontHex(in);
    EXPECT_EQ(glyphs.size(), 1u);
    return glyphs.begin()->second;
}

// Lines copied from the glyph source.
const std::string kUnassigned0378 = "0378:00007FFE738E6DF66DC66DF6738E7FFE7FFE61CE7DB67BCE77B677CE7FFE0000";
const std::string kBlackSquare2B1B = "2B1B:00007FFE7FFE7FFE7FFE7FFE7FFE7FFE7FFE7FFE7FFE7FFE7FFE7FFE7FFE0000";
const std::string kControl0001 = "0001:AAAA00018000000180003993C252325F8A527193800000018000000180005555";
const std::string kLetterA = "0041:0000000018242442427E424242420000";

// --- Reading the glyph source ---

TEST(UnifontHex, RejectsMalformedLines) {
    const struct {
        const char* label;
        std::string text;
    } cases[] = {
        {"no colon", "0041 0000000018242442427E424242420000"},
        {"odd glyph length", "0041:0000000018242442427E4242424200"},
        {"not hexadecimal", "0041:0000000018242442427E42424242000G"},
        {"code not hexadecimal", "00G1:0000000018242442427E424242420000"},
        {"code twice", kLetterA + "\n" + kLetterA},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::istringstream in(c.text);
        EXPECT_THROW(ReadUnifontHex(in), std::runtime_error);
    }
}

TEST(UnifontHex, SkipsCodesBeyondTheBasicPlane) {
    std::istringstream in("1F600:" + std::string(64, '0') + "\r\n" + kLetterA + "\r\n");
    const UnifontGlyphs glyphs = ReadUnifontHex(in);
    ASSERT_EQ(glyphs.size(), 1u);
    EXPECT_EQ(glyphs.begin()->first, 0x41u);
}

// --- Which drawings are not characters ---

TEST(PlayerFont, TellsBoxedCodesFromGlyphs) {
    const struct {
        const char* label;
        uint32_t code;
        std::string line;
        bool boxed;
    } cases[] = {
        {"hex box of its own code", 0x0378, kUnassigned0378, true},
        {"hex box under another code", 0x0379, kUnassigned0378, false},
        {"solid square", 0x2B1B, kBlackSquare2B1B, false},
        {"dashed box with an abbreviation", 0x0001, kControl0001, true},
        {"letter", 0x0041, kLetterA, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(IsBoxedCodeDrawing(c.code, GlyphFromHex(c.line)), c.boxed);
    }
}

// --- Cell encoding ---

TEST(PlayerFont, HalfWidthGlyphFillsTheLeftColumnsTopDown) {
    const FontCell cell = CellFromGlyph(GlyphFromHex(kLetterA));
    // 'A': the apex in columns 3 and 4 at row 4, the left leg in column 1 from row 7 to row 13.
    EXPECT_EQ(cell[0], 0);
    EXPECT_EQ(cell[1], 0x3F80);
    EXPECT_EQ(cell[3] & 0x0010, 0x0010);
    EXPECT_EQ(cell[4] & 0x0010, 0x0010);
    for (size_t x = 8; x < 16; ++x) {
        EXPECT_EQ(cell[x], 0) << "column " << x;
    }
}

TEST(PlayerFont, BuildsTheFixedCellsWhateverTheSource) {
    std::istringstream in(kControl0001 + "\n" + kUnassigned0378 + "\n" + kLetterA + "\n");
    PlayerFontStats stats;
    const auto font = BuildPlayerFont(ReadUnifontHex(in), &stats);
    ASSERT_EQ(font.size(), 65520u * 32u);
    EXPECT_EQ(stats.boxedDrawingsDropped, 1u) << "the hex box of U+0378";
    // 29 placeholders below U+0020, U+007F, 30 from U+0080, two quote marks, and 'A'.
    EXPECT_EQ(stats.glyphCells, 29u + 1u + 30u + 2u + 1u);
    for (size_t i = 0; i < 32; ++i) {
        EXPECT_EQ(font[32 * 0x0378 + i], std::byte{0}) << "byte " << i;
    }
}

}  // namespace
}  // namespace tolven::font
