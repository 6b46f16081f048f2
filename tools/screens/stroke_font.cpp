#include "tools/screens/stroke_font.h"

#include <stdexcept>
#include <string>

namespace tolven::screens {

namespace {

struct GridPoint {
    int x;
    int y;
};

// A glyph is polylines separated by kBreak; grid x runs 0..width, y 0..6 from the top.
constexpr GridPoint kBreak{-1, -1};

struct Glyph {
    char letter;
    int width;
    std::vector<GridPoint> path;
};

const std::vector<Glyph>& Glyphs() {
    static const std::vector<Glyph> glyphs = {
        {'A', 4, {{0, 6}, {0, 1}, {1, 0}, {3, 0}, {4, 1}, {4, 6}, kBreak, {0, 3}, {4, 3}}},
        {'B',
         4,
         {{0, 0},
          {0, 6},
          {3, 6},
          {4, 5},
          {4, 4},
          {3, 3},
          {0, 3},
          kBreak,
          {0, 0},
          {3, 0},
          {4, 1},
          {4, 2},
          {3, 3}}},
        {'C', 4, {{4, 0}, {1, 0}, {0, 1}, {0, 5}, {1, 6}, {4, 6}}},
        {'D', 4, {{0, 0}, {0, 6}, {3, 6}, {4, 5}, {4, 1}, {3, 0}, {0, 0}}},
        {'E', 4, {{4, 0}, {0, 0}, {0, 6}, {4, 6}, kBreak, {0, 3}, {3, 3}}},
        {'I', 0, {{0, 0}, {0, 6}}},
        {'J', 4, {{4, 0}, {4, 5}, {3, 6}, {1, 6}, {0, 5}}},
        {'K', 4, {{0, 0}, {0, 6}, kBreak, {4, 0}, {0, 3}, {4, 6}}},
        {'L', 4, {{0, 0}, {0, 6}, {4, 6}}},
        {'M', 4, {{0, 6}, {0, 0}, {2, 3}, {4, 0}, {4, 6}}},
        {'N', 4, {{0, 6}, {0, 0}, {4, 6}, {4, 0}}},
        {'O', 4, {{1, 0}, {3, 0}, {4, 1}, {4, 5}, {3, 6}, {1, 6}, {0, 5}, {0, 1}, {1, 0}}},
        {'P', 4, {{0, 6}, {0, 0}, {3, 0}, {4, 1}, {4, 2}, {3, 3}, {0, 3}}},
        {'R', 4, {{0, 6}, {0, 0}, {3, 0}, {4, 1}, {4, 2}, {3, 3}, {0, 3}, kBreak, {2, 3}, {4, 6}}},
        {'S', 4, {{4, 0}, {1, 0}, {0, 1}, {0, 2}, {1, 3}, {3, 3}, {4, 4}, {4, 5}, {3, 6}, {0, 6}}},
        {'T', 4, {{0, 0}, {4, 0}, kBreak, {2, 0}, {2, 6}}},
        {'U', 4, {{0, 0}, {0, 5}, {1, 6}, {3, 6}, {4, 5}, {4, 0}}},
        {'V', 4, {{0, 0}, {2, 6}, {4, 0}}},
        {'Z', 4, {{0, 0}, {4, 0}, {0, 6}, {4, 6}}},
    };
    return glyphs;
}

const Glyph* FindGlyph(char letter) {
    for (const Glyph& glyph : Glyphs()) {
        if (glyph.letter == letter) {
            return &glyph;
        }
    }
    return nullptr;
}

constexpr int kSpaceWidth = 4;

}  // namespace

bool HasGlyph(char letter) {
    return FindGlyph(letter) != nullptr;
}

std::vector<Segment> LayoutText(std::string_view text, int x, int y, const TextStyle& style) {
    std::vector<Segment> strokes;
    int pen = x;
    for (char letter : text) {
        if (letter == ' ') {
            pen += kSpaceWidth * style.unit + style.gap;
            continue;
        }
        const Glyph* glyph = FindGlyph(letter);
        if (glyph == nullptr) {
            throw std::invalid_argument(std::string("no glyph for letter '") + letter + "'");
        }
        for (size_t i = 1; i < glyph->path.size(); ++i) {
            const GridPoint from = glyph->path[i - 1];
            const GridPoint to = glyph->path[i];
            if (from.x < 0 || to.x < 0) {
                continue;
            }
            strokes.push_back({pen + from.x * style.unit, y + from.y * style.unit, pen + to.x * style.unit,
                               y + to.y * style.unit});
        }
        pen += glyph->width * style.unit + style.gap;
    }
    return strokes;
}

int TextWidth(std::string_view text, const TextStyle& style) {
    int width = 0;
    for (char letter : text) {
        const Glyph* glyph = FindGlyph(letter);
        width += (glyph != nullptr ? glyph->width : kSpaceWidth) * style.unit + style.gap;
    }
    return text.empty() ? 0 : width - style.gap;
}

}  // namespace tolven::screens
