// Anti-aliased shapes: a shape is a test on points in eighth-pixel units, sampled 4 x 4 times per
// pixel into a coverage mask, which is then blended onto the canvas in a colour.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "tools/screens/rgb_canvas.h"

namespace tolven::screens {

// One pixel is kSub units wide; shape coordinates are given in these units.
inline constexpr int kSub = 8;

// A straight stroke from (x0, y0) to (x1, y1), in eighth pixels.
struct Segment {
    int x0 = 0;
    int y0 = 0;
    int x1 = 0;
    int y1 = 0;
};

class CoverageMask {
  public:
    CoverageMask(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    // 0 is uncovered, 255 fully covered; 0 outside the mask.
    int At(int x, int y) const;
    // Keeps the larger of the present and the given coverage, so shapes add up as a union.
    void Raise(int x, int y, int coverage);

    // Samples `inside` over the pixels x0 <= x < x1, y0 <= y < y1.
    void Add(int x0, int y0, int x1, int y1, const std::function<bool(int sx, int sy)>& inside);
    // A box blur of the given radius, run twice: a soft halo or shadow around the shapes.
    void Blur(int radius);

  private:
    int width_;
    int height_;
    std::vector<uint8_t> values_;
};

bool InRoundedRect(int sx, int sy, int x, int y, int w, int h, int radius);
bool InDisc(int sx, int sy, int cx, int cy, int radius);  // centre and radius in eighth pixels
bool NearSegment(int sx, int sy, const Segment& segment, int radius);

// Masks of the common shapes, as large as the canvas.
CoverageMask RoundedRectMask(const RgbCanvas& canvas, int x, int y, int w, int h, int radius);
CoverageMask DiscMask(const RgbCanvas& canvas, int cx, int cy, int radius);
CoverageMask StrokeMask(const RgbCanvas& canvas, const std::vector<Segment>& segments, int radius);

// opacity 0..255 scales the mask's coverage.
void PaintMask(RgbCanvas& canvas, const CoverageMask& mask, Rgb color, int opacity = 255);
// The colour may change over the picture, e.g. a gradient inside letters.
void PaintMask(RgbCanvas& canvas, const CoverageMask& mask, const std::function<Rgb(int x, int y)>& color,
               int opacity = 255);

void FillRoundedRect(RgbCanvas& canvas, int x, int y, int w, int h, int radius, Rgb color, int opacity = 255);

}  // namespace tolven::screens
