#include "tools/screens/coverage_mask.h"

#include <algorithm>
#include <cstddef>

namespace tolven::screens {

namespace {

constexpr int kSamplesPerAxis = 4;
constexpr int kSamples = kSamplesPerAxis * kSamplesPerAxis;

// One blur pass along rows (step 1) or columns (step width); a running sum keeps it linear.
void BoxBlurLine(std::vector<uint8_t>& values, size_t start, int count, size_t step, int radius) {
    std::vector<int> line(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        line[static_cast<size_t>(i)] = values[start + static_cast<size_t>(i) * step];
    }
    const int window = 2 * radius + 1;
    int sum = 0;
    for (int i = -radius; i <= radius; ++i) {
        if (i >= 0 && i < count) {
            sum += line[static_cast<size_t>(i)];
        }
    }
    for (int i = 0; i < count; ++i) {
        values[start + static_cast<size_t>(i) * step] = static_cast<uint8_t>(sum / window);
        const int leaving = i - radius;
        const int entering = i + radius + 1;
        if (leaving >= 0) {
            sum -= line[static_cast<size_t>(leaving)];
        }
        if (entering < count) {
            sum += line[static_cast<size_t>(entering)];
        }
    }
}

int64_t Square(int64_t v) {
    return v * v;
}

}  // namespace

CoverageMask::CoverageMask(int width, int height)
    : width_(width), height_(height), values_(static_cast<size_t>(width) * static_cast<size_t>(height)) {}

int CoverageMask::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return 0;
    }
    return values_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
}

void CoverageMask::Raise(int x, int y, int coverage) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return;
    }
    uint8_t& value = values_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
    value = static_cast<uint8_t>(std::max<int>(value, std::clamp(coverage, 0, 255)));
}

void CoverageMask::Add(int x0, int y0, int x1, int y1, const std::function<bool(int sx, int sy)>& inside) {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, width_);
    y1 = std::min(y1, height_);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            int hits = 0;
            for (int j = 0; j < kSamplesPerAxis; ++j) {
                for (int i = 0; i < kSamplesPerAxis; ++i) {
                    // Sample centres sit at 1/8, 3/8, 5/8 and 7/8 of the pixel.
                    if (inside(x * kSub + 2 * i + 1, y * kSub + 2 * j + 1)) {
                        ++hits;
                    }
                }
            }
            Raise(x, y, hits * 255 / kSamples);
        }
    }
}

void CoverageMask::Blur(int radius) {
    if (radius <= 0) {
        return;
    }
    for (int pass = 0; pass < 2; ++pass) {
        for (int y = 0; y < height_; ++y) {
            BoxBlurLine(values_, static_cast<size_t>(y) * static_cast<size_t>(width_), width_, 1, radius);
        }
        for (int x = 0; x < width_; ++x) {
            BoxBlurLine(values_, static_cast<size_t>(x), height_, static_cast<size_t>(width_), radius);
        }
    }
}

bool InRoundedRect(int sx, int sy, int x, int y, int w, int h, int radius) {
    const int left = x * kSub;
    const int top = y * kSub;
    const int right = (x + w) * kSub;
    const int bottom = (y + h) * kSub;
    if (sx < left || sy < top || sx >= right || sy >= bottom) {
        return false;
    }
    const int r = radius * kSub;
    const int cx = std::clamp(sx, left + r, right - r);
    const int cy = std::clamp(sy, top + r, bottom - r);
    return Square(sx - cx) + Square(sy - cy) <= Square(r);
}

bool InDisc(int sx, int sy, int cx, int cy, int radius) {
    return Square(sx - cx) + Square(sy - cy) <= Square(radius);
}

bool NearSegment(int sx, int sy, const Segment& s, int radius) {
    const int64_t dx = s.x1 - s.x0;
    const int64_t dy = s.y1 - s.y0;
    const int64_t px = sx - s.x0;
    const int64_t py = sy - s.y0;
    const int64_t along = px * dx + py * dy;
    const int64_t length2 = dx * dx + dy * dy;
    int64_t distance2 = 0;
    if (along <= 0 || length2 == 0) {
        distance2 = px * px + py * py;
    } else if (along >= length2) {
        distance2 = Square(sx - s.x1) + Square(sy - s.y1);
    } else {
        // Squared distance to the line: |p|^2 - (p.d)^2 / |d|^2, in integers.
        distance2 = px * px + py * py - along * along / length2;
    }
    return distance2 <= Square(radius);
}

CoverageMask RoundedRectMask(const RgbCanvas& canvas, int x, int y, int w, int h, int radius) {
    CoverageMask mask(canvas.width(), canvas.height());
    mask.Add(x, y, x + w, y + h, [&](int sx, int sy) { return InRoundedRect(sx, sy, x, y, w, h, radius); });
    return mask;
}

CoverageMask DiscMask(const RgbCanvas& canvas, int cx, int cy, int radius) {
    CoverageMask mask(canvas.width(), canvas.height());
    mask.Add((cx - radius) / kSub - 1, (cy - radius) / kSub - 1, (cx + radius) / kSub + 2,
             (cy + radius) / kSub + 2, [&](int sx, int sy) { return InDisc(sx, sy, cx, cy, radius); });
    return mask;
}

CoverageMask StrokeMask(const RgbCanvas& canvas, const std::vector<Segment>& segments, int radius) {
    CoverageMask mask(canvas.width(), canvas.height());
    for (const Segment& s : segments) {
        // Each stroke only samples its own neighbourhood; the union comes from Raise.
        const int x0 = (std::min(s.x0, s.x1) - radius) / kSub - 1;
        const int y0 = (std::min(s.y0, s.y1) - radius) / kSub - 1;
        const int x1 = (std::max(s.x0, s.x1) + radius) / kSub + 2;
        const int y1 = (std::max(s.y0, s.y1) + radius) / kSub + 2;
        mask.Add(x0, y0, x1, y1, [&](int sx, int sy) { return NearSegment(sx, sy, s, radius); });
    }
    return mask;
}

void PaintMask(RgbCanvas& canvas, const CoverageMask& mask, Rgb color, int opacity) {
    PaintMask(
        canvas, mask, [color](int, int) { return color; }, opacity);
}

void PaintMask(RgbCanvas& canvas, const CoverageMask& mask, const std::function<Rgb(int x, int y)>& color,
               int opacity) {
    for (int y = 0; y < mask.height(); ++y) {
        for (int x = 0; x < mask.width(); ++x) {
            const int coverage = mask.At(x, y);
            if (coverage > 0) {
                canvas.Blend(x, y, color(x, y), coverage * opacity / 255);
            }
        }
    }
}

void FillRoundedRect(RgbCanvas& canvas, int x, int y, int w, int h, int radius, Rgb color, int opacity) {
    PaintMask(canvas, RoundedRectMask(canvas, x, y, w, h, radius), color, opacity);
}

}  // namespace tolven::screens
