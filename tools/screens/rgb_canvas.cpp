#include "tools/screens/rgb_canvas.h"

#include <algorithm>
#include <cstddef>

namespace tolven::screens {

namespace {

uint8_t MixChannel(int a, int b, int num, int den) {
    return static_cast<uint8_t>(a + (b - a) * num / den);
}

}  // namespace

Rgb Mix(Rgb a, Rgb b, int num, int den) {
    if (den <= 0) {
        return a;
    }
    num = std::clamp(num, 0, den);
    return {MixChannel(a.r, b.r, num, den), MixChannel(a.g, b.g, num, den), MixChannel(a.b, b.b, num, den)};
}

RgbCanvas::RgbCanvas(int width, int height, Rgb fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * static_cast<size_t>(height) * 3) {
    FillRect(0, 0, width, height, fill);
}

Rgb RgbCanvas::At(int x, int y) const {
    if (!Contains(x, y)) {
        return {};
    }
    const size_t at = (static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)) * 3;
    return {pixels_[at], pixels_[at + 1], pixels_[at + 2]};
}

void RgbCanvas::Set(int x, int y, Rgb color) {
    if (!Contains(x, y)) {
        return;
    }
    const size_t at = (static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)) * 3;
    pixels_[at] = color.r;
    pixels_[at + 1] = color.g;
    pixels_[at + 2] = color.b;
}

void RgbCanvas::Blend(int x, int y, Rgb color, int alpha) {
    if (!Contains(x, y) || alpha <= 0) {
        return;
    }
    Set(x, y, Mix(At(x, y), color, alpha, 255));
}

void RgbCanvas::FillRect(int x, int y, int w, int h, Rgb color) {
    for (int row = y; row < y + h; ++row) {
        for (int col = x; col < x + w; ++col) {
            Set(col, row, color);
        }
    }
}

void RgbCanvas::BlendRect(int x, int y, int w, int h, Rgb color, int alpha) {
    for (int row = y; row < y + h; ++row) {
        for (int col = x; col < x + w; ++col) {
            Blend(col, row, color, alpha);
        }
    }
}

void RgbCanvas::VerticalGradient(int x, int y, int w, int h, Rgb top, Rgb bottom) {
    for (int row = 0; row < h; ++row) {
        const Rgb color = Mix(top, bottom, row, std::max(1, h - 1));
        for (int col = x; col < x + w; ++col) {
            Set(col, y + row, color);
        }
    }
}

}  // namespace tolven::screens
