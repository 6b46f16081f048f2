// An 8-bit RGB picture in memory, the surface every screen is painted on before it is encoded.
// All arithmetic is integer so that the same program paints the same bytes on every machine.
#pragma once

#include <cstdint>
#include <vector>

namespace tolven::screens {

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    bool operator==(const Rgb&) const = default;
};

// a + (b - a) * num / den, per channel, rounded towards a; num is clamped to 0..den.
Rgb Mix(Rgb a, Rgb b, int num, int den);

class RgbCanvas {
  public:
    RgbCanvas(int width, int height, Rgb fill);

    int width() const { return width_; }
    int height() const { return height_; }
    // Interleaved R, G, B rows from the top, as the encoder reads them.
    const std::vector<uint8_t>& pixels() const { return pixels_; }

    Rgb At(int x, int y) const;
    // Both ignore points outside the picture, so shapes may run over its edges.
    void Set(int x, int y, Rgb color);
    // alpha 0 keeps the pixel, 255 replaces it.
    void Blend(int x, int y, Rgb color, int alpha);

    void FillRect(int x, int y, int w, int h, Rgb color);
    void BlendRect(int x, int y, int w, int h, Rgb color, int alpha);
    // Top to bottom from `top` to `bottom` inside the rectangle.
    void VerticalGradient(int x, int y, int w, int h, Rgb top, Rgb bottom);

  private:
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    int width_;
    int height_;
    std::vector<uint8_t> pixels_;
};

}  // namespace tolven::screens
