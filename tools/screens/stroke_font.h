// Our own geometric capital letters: each glyph is a few straight strokes on a grid four units wide
// and six high, with chamfered corners instead of curves. Only the letters the screens need exist.
#pragma once

#include <string_view>
#include <vector>

#include "tools/screens/coverage_mask.h"

namespace tolven::screens {

struct TextStyle {
    int unit = 8 * kSub;  // one grid unit, in eighth pixels
    int gap = 8 * kSub;   // space between letters, in eighth pixels
};

// Strokes of the text with its top-left grid corner at (x, y), in eighth pixels. A space advances
// by a letter's width; a letter without a glyph throws std::invalid_argument.
std::vector<Segment> LayoutText(std::string_view text, int x, int y, const TextStyle& style);
// From the first stroke's grid origin to the last letter's right edge, in eighth pixels.
int TextWidth(std::string_view text, const TextStyle& style);
// Whether the letter has a glyph.
bool HasGlyph(char letter);

}  // namespace tolven::screens
