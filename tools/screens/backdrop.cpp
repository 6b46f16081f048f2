#include "tools/screens/backdrop.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "tools/screens/coverage_mask.h"
#include "tools/screens/integer_sine.h"

namespace tolven::screens {

namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};

void PaintGradient(RgbCanvas& canvas, const ScreenPalette& palette) {
    const int span = 2 * (canvas.height() - 1) + (canvas.width() - 1) / 2;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            canvas.Set(x, y, Mix(palette.sky_top, palette.sky_bottom, 2 * y + x / 2, span));
        }
    }
}

// Light that falls off with the square of the distance: bright centre, no visible edge.
void PaintGlow(RgbCanvas& canvas, Rgb color, int cx, int cy, int radius, int strength) {
    const int64_t r2 = static_cast<int64_t>(radius) * radius;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const int64_t d2 =
                static_cast<int64_t>(x - cx) * (x - cx) + static_cast<int64_t>(y - cy) * (y - cy);
            if (d2 < r2) {
                const int64_t falloff = (r2 - d2) * (r2 - d2) / r2;  // 0..r2, smooth at the rim
                canvas.Blend(x, y, color, static_cast<int>(falloff * strength / r2));
            }
        }
    }
}

// The middle of a band in eighth pixels at eighth-pixel column sx: two sines of different lengths.
int BandCentre(int sx, int base, int amplitude, int wavelength, int phase) {
    const int angle = sx * 360 * 16 / (kSub * wavelength) + phase * 16;
    const int slow = SineFine(angle);
    const int fast = SineFine(angle * 5 / 2 + 1000);
    return base * kSub + (amplitude * kSub * (3 * slow + fast)) / (4 * kSineOne);
}

void PaintBands(RgbCanvas& canvas, const ScreenPalette& palette, int strength, int phase) {
    struct Band {
        int base;
        int amplitude;
        int wavelength;
        int thickness;  // pixels at the widest
        int phase;
        int opacity;  // of 255, before the style's strength
    };
    const Band bands[] = {
        {150, 26, 520, 46, 0, 70},
        {168, 20, 430, 26, 70, 110},
        {188, 30, 610, 60, 150, 50},
        {206, 18, 380, 14, 230, 140},
    };
    for (const Band& band : bands) {
        CoverageMask body(canvas.width(), canvas.height());
        CoverageMask edge(canvas.width(), canvas.height());
        const int p = band.phase + phase;
        // The band's middle and half width depend only on the column: work them out once per
        // sample column. The band swells and thins along its length.
        const int columns = canvas.width() * kSub;
        std::vector<int> centre(static_cast<size_t>(columns));
        std::vector<int> half(static_cast<size_t>(columns));
        for (int sx = 0; sx < columns; ++sx) {
            centre[static_cast<size_t>(sx)] = BandCentre(sx, band.base, band.amplitude, band.wavelength, p);
            half[static_cast<size_t>(sx)] =
                band.thickness * kSub * (3 * kSineOne + SineFine((sx * 16 * 360) / (kSub * 300) + p * 32)) /
                (8 * kSineOne);
        }
        const int reach = band.amplitude + band.thickness / 2 + 2;
        const int y0 = band.base - reach;
        const int y1 = band.base + reach;
        body.Add(0, y0, canvas.width(), y1, [&](int sx, int sy) {
            const auto at = static_cast<size_t>(sx);
            return std::abs(sy - centre[at]) <= half[at];
        });
        edge.Add(0, y0, canvas.width(), y1, [&](int sx, int sy) {
            const auto at = static_cast<size_t>(sx);
            return std::abs(sy - (centre[at] - half[at])) <= kSub / 2;
        });
        PaintMask(canvas, body, palette.wave, band.opacity * strength / 255);
        PaintMask(canvas, edge, Mix(palette.wave, kWhite, 1, 2), band.opacity * 2 * strength / 255);
    }
}

// A fixed linear congruential sequence: the spots fall in the same places on every run.
class SpotSequence {
  public:
    explicit SpotSequence(uint32_t seed) : state_(seed * 2654435761u + 12345u) {}
    int Next(int bound) {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<int>((state_ >> 8) % static_cast<uint32_t>(bound));
    }

  private:
    uint32_t state_;
};

void PaintSpots(RgbCanvas& canvas, const ScreenPalette& palette, int count, int seed) {
    SpotSequence sequence(static_cast<uint32_t>(seed));
    for (int i = 0; i < count; ++i) {
        const int cx = sequence.Next(canvas.width());
        const int cy = sequence.Next(canvas.height());
        const int radius = 6 + sequence.Next(26);
        const int opacity = 14 + sequence.Next(30);
        CoverageMask spot = DiscMask(canvas, cx * kSub, cy * kSub, radius * kSub);
        spot.Blur(2);
        PaintMask(canvas, spot, Mix(palette.glow, kWhite, 1, 3), opacity);
    }
}

void PaintVignette(RgbCanvas& canvas, int strength) {
    const int64_t hw = canvas.width() / 2;
    const int64_t hh = canvas.height() / 2;
    const int64_t full = 2 * hw * hw * hh * hh;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const int64_t dx = x - hw;
            const int64_t dy = y - hh;
            const int64_t d = dx * dx * hh * hh + dy * dy * hw * hw;
            canvas.Blend(x, y, kBlack, static_cast<int>(d * d / full * strength / full));
        }
    }
}

}  // namespace

void PaintBackdrop(RgbCanvas& canvas, const ScreenPalette& palette, const BackdropStyle& style) {
    PaintGradient(canvas, palette);
    PaintGlow(canvas, palette.glow, style.glow_x, style.glow_y, style.glow_radius, style.glow_strength);
    if (style.wave_strength > 0) {
        PaintBands(canvas, palette, style.wave_strength, style.wave_phase);
    }
    PaintSpots(canvas, palette, style.spots, style.spot_seed);
    PaintVignette(canvas, style.vignette);
    if (style.darken > 0) {
        canvas.BlendRect(0, 0, canvas.width(), canvas.height(), kBlack, style.darken);
    }
}

}  // namespace tolven::screens
