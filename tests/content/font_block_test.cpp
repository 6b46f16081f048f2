// The font as the program carries it: checked cell by cell against the rules the player relies on.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

#include "content/content_block_ids.h"
#include "platform/linux/content/linked_content_store.h"

namespace tolven {
namespace {

using Cell = std::array<uint16_t, 16>;  // column words, bit y = row y

constexpr uint32_t kCells = 65520;

class FontBlock : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto block = linux_host::LinkedContentStore().FindContentResource(kFontBlockId);
        ASSERT_TRUE(block.has_value());
        ASSERT_EQ(block->size(), kCells * 32u);
        font_ = *block;
    }

    Cell CellOf(uint32_t code) const {
        Cell cell{};
        for (size_t x = 0; x < 16; ++x) {
            cell[x] = static_cast<uint16_t>(std::to_integer<uint16_t>(font_[32 * code + 2 * x]) |
                                            std::to_integer<uint16_t>(font_[32 * code + 2 * x + 1]) << 8);
        }
        return cell;
    }

    bool Inked(uint32_t code) const { return CellOf(code) != Cell{}; }

    static std::string Code(uint32_t code) {
        char text[8];
        std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(code));
        return text;
    }

    ContentBlock font_;
};

Cell PlaceholderCell() {
    Cell cell{};
    cell[3] = cell[4] = cell[5] = 0x1FF0;  // columns 3..5, rows 4..12
    return cell;
}

bool IsHalfWidth(const Cell& cell) {
    for (size_t x = 8; x < 16; ++x) {
        if (cell[x] != 0) {
            return false;
        }
    }
    return true;
}

// --- Cells fixed by rule ---

TEST_F(FontBlock, EmptyCellsForNulLineBreaksAndSpaces) {
    for (uint32_t code : {0x0000u, 0x000Au, 0x000Du, 0x0020u, 0x00A0u}) {
        EXPECT_FALSE(Inked(code)) << Code(code);
    }
}

TEST_F(FontBlock, ControlsShowThePlaceholderBlock) {
    for (uint32_t code = 0; code <= 0x9F; ++code) {
        const bool control = (code >= 0x01 && code <= 0x1F && code != 0x0A && code != 0x0D) || code == 0x7F ||
                             (code >= 0x80 && code != 0x91 && code != 0x92);
        if (control) {
            EXPECT_EQ(CellOf(code), PlaceholderCell()) << Code(code);
        }
    }
}

TEST_F(FontBlock, QuoteCodesCarryMarksOfTheirOwn) {
    for (uint32_t code : {0x0091u, 0x0092u}) {
        SCOPED_TRACE(Code(code));
        EXPECT_TRUE(Inked(code));
        EXPECT_NE(CellOf(code), PlaceholderCell());
        EXPECT_TRUE(IsHalfWidth(CellOf(code)));
    }
    EXPECT_NE(CellOf(0x0091), CellOf(0x0092));
}

TEST_F(FontBlock, AsciiAndLatin1AreHalfWidthGlyphs) {
    for (uint32_t code = 0x21; code <= 0xFF; ++code) {
        if (code >= 0x7F && code <= 0xA0) {
            continue;
        }
        SCOPED_TRACE(Code(code));
        if (code != 0xAD) {  // the soft hyphen is invisible
            EXPECT_TRUE(Inked(code));
        }
        EXPECT_TRUE(IsHalfWidth(CellOf(code)));
    }
}

// --- Layout: columns from the left, little-endian words, bit 0 at the top ---

TEST_F(FontBlock, BlockElementsShowTheCellLayout) {
    const struct {
        uint32_t code;
        const char* name;
        Cell cell;
    } cases[] = {
        {0x2580, "upper half block", {0x00FF, 0x00FF, 0x00FF, 0x00FF, 0x00FF, 0x00FF, 0x00FF, 0x00FF}},
        {0x2584, "lower half block", {0xFF00, 0xFF00, 0xFF00, 0xFF00, 0xFF00, 0xFF00, 0xFF00, 0xFF00}},
        {0x258C, "left half block", {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CellOf(c.code), c.cell) << c.name;
    }
    EXPECT_EQ(std::to_integer<int>(font_[32 * 0x2580]), 0xFF) << "first byte of a column holds rows 0 to 7";
}

// --- Coverage ---

TEST_F(FontBlock, AllHangulSyllablesAreDrawn) {
    EXPECT_FALSE(IsHalfWidth(CellOf(0xAC00))) << "the first syllable at byte 32 * 0xAC00 is full width";
    for (uint32_t code = 0xAC00; code <= 0xD7A3; ++code) {
        ASSERT_TRUE(Inked(code)) << Code(code);
    }
}

TEST_F(FontBlock, MostUnifiedIdeographsAreDrawn) {
    uint32_t drawn = 0;
    for (uint32_t code = 0x4E00; code <= 0x9FFF; ++code) {
        drawn += Inked(code) ? 1 : 0;
    }
    EXPECT_GT(drawn, 20000u);
}

TEST_F(FontBlock, CodesOutsideTheDrawnRangesAreEmpty) {
    const struct {
        const char* name;
        uint32_t first;
        uint32_t last;
    } ranges[] = {
        {"Armenian to Latin extended additional", 0x0500, 0x1FFF},
        {"CJK extension A and Yijing", 0x3400, 0x4DFF},
        {"Yi to Hangul jamo extended", 0xA000, 0xABFF},
        {"Hangul jamo extended B", 0xD7A4, 0xD7FF},
        {"surrogates", 0xD800, 0xDFFF},
        {"private use", 0xE000, 0xF8FF},
    };
    for (const auto& range : ranges) {
        for (uint32_t code = range.first; code <= range.last; ++code) {
            ASSERT_FALSE(Inked(code)) << range.name << ": " << Code(code);
        }
    }
}

// --- No box pictures of codes in place of glyphs ---

// Row y of a cell as 16 bits, column 0 in the highest bit.
uint16_t Row(const Cell& cell, int y) {
    uint16_t row = 0;
    for (int x = 0; x < 16; ++x) {
        row = static_cast<uint16_t>(row << 1 | ((cell[x] >> y) & 1));
    }
    return row;
}

TEST_F(FontBlock, NoCellIsAPictureOfACode) {
    for (uint32_t code = 0; code < kCells; ++code) {
        const Cell cell = CellOf(code);
        // The dashed frame around an abbreviation.
        ASSERT_FALSE(Row(cell, 0) == 0xAAAA && Row(cell, 15) == 0x5555) << Code(code);
        // The solid frame with hex digits cut out above and below its middle bar.
        bool framed = Row(cell, 0) == 0 && Row(cell, 15) == 0;
        for (int y : {1, 7, 8, 14}) {
            framed = framed && Row(cell, y) == 0x7FFE;
        }
        bool holes = false;
        for (int y = 2; y <= 13; ++y) {
            holes = holes || Row(cell, y) != 0x7FFE;
        }
        ASSERT_FALSE(framed && holes) << Code(code);
    }
}

}  // namespace
}  // namespace tolven
