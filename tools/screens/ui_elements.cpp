#include "tools/screens/ui_elements.h"

#include <algorithm>
#include <vector>

#include "tools/screens/coverage_mask.h"
#include "tools/screens/stroke_font.h"

namespace tolven::screens {

namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};

CoverageMask Shadow(const RgbCanvas& canvas, Box box, int radius, int dy, int blur) {
    CoverageMask mask = RoundedRectMask(canvas, box.x, box.y + dy, box.w, box.h, radius);
    mask.Blur(blur);
    return mask;
}

// A polyline through points given in eighth pixels.
std::vector<Segment> Polyline(std::initializer_list<std::pair<int, int>> points) {
    std::vector<Segment> strokes;
    const std::pair<int, int>* previous = nullptr;
    for (const auto& point : points) {
        if (previous != nullptr) {
            strokes.push_back({previous->first, previous->second, point.first, point.second});
        }
        previous = &point;
    }
    return strokes;
}

}  // namespace

void DrawPane(RgbCanvas& canvas, const ScreenPalette& palette, Box box, int radius, int fill_opacity) {
    PaintMask(canvas, Shadow(canvas, box, radius, 4, 4), kBlack, 150);
    FillRoundedRect(canvas, box.x, box.y, box.w, box.h, radius, palette.panel_edge, 170);
    const Rgb top = Mix(palette.panel, palette.panel_edge, 1, 5);
    CoverageMask inside = RoundedRectMask(canvas, box.x + 1, box.y + 1, box.w - 2, box.h - 2, radius - 1);
    PaintMask(
        canvas, inside, [&](int, int y) { return Mix(top, palette.panel, y - box.y, box.h); }, fill_opacity);
    // A light line just inside the top edge, as if lit from above.
    canvas.BlendRect(box.x + radius, box.y + 1, box.w - 2 * radius, 1, kWhite, 60);
}

void DrawInset(RgbCanvas& canvas, const ScreenPalette& palette, Box box, int radius) {
    FillRoundedRect(canvas, box.x, box.y, box.w, box.h, radius, Mix(palette.panel_edge, kBlack, 1, 2), 200);
    const Rgb deep = Mix(palette.panel, kBlack, 1, 2);
    CoverageMask inside = RoundedRectMask(canvas, box.x + 1, box.y + 1, box.w - 2, box.h - 2, radius - 1);
    PaintMask(
        canvas, inside, [&](int, int y) { return Mix(kBlack, deep, y - box.y, 12); }, 225);
    // The lower rim catches the light.
    canvas.BlendRect(box.x + radius, box.y + box.h - 1, box.w - 2 * radius, 1, palette.panel_edge, 140);
}

void DrawHighlight(RgbCanvas& canvas, const ScreenPalette& palette, Box box, int radius) {
    const Rgb light = Mix(palette.accent, kWhite, 1, 3);
    const Rgb dark = Mix(palette.accent, kBlack, 1, 3);
    CoverageMask mask = RoundedRectMask(canvas, box.x, box.y, box.w, box.h, radius);
    PaintMask(
        canvas, mask, [&](int, int y) { return Mix(light, dark, y - box.y, box.h); }, 210);
    canvas.BlendRect(box.x + radius, box.y + 1, box.w - 2 * radius, 1, kWhite, 110);
}

void DrawScrollBar(RgbCanvas& canvas, const ScreenPalette& palette, Box box, int thumb_from,
                   int thumb_length) {
    const int arrow = box.w + 2;
    const Box track{box.x, box.y + arrow, box.w, box.h - 2 * arrow};
    const int radius = box.w / 2;
    FillRoundedRect(canvas, track.x, track.y, track.w, track.h, radius, kBlack, 120);
    FillRoundedRect(canvas, track.x + 1, track.y + 1, track.w - 2, track.h - 2, radius - 1,
                    Mix(palette.panel, palette.panel_edge, 1, 6), 220);
    const int thumb_y = track.y + 2 + (track.h - 4) * thumb_from / 100;
    const int thumb_h = std::max(box.w, (track.h - 4) * thumb_length / 100);
    DrawHighlight(canvas, palette, {track.x + 1, thumb_y, track.w - 2, thumb_h}, radius - 1);
    // Chevrons above and below the track.
    const int cx = (box.x * 2 + box.w) * kSub / 2;
    const int half = box.w * kSub * 3 / 10;
    const int up = (box.y + arrow / 2) * kSub;
    const int down = (box.y + box.h - arrow / 2) * kSub;
    std::vector<Segment> chevrons =
        Polyline({{cx - half, up + half / 2}, {cx, up - half / 2}, {cx + half, up + half / 2}});
    std::vector<Segment> lower =
        Polyline({{cx - half, down - half / 2}, {cx, down + half / 2}, {cx + half, down - half / 2}});
    chevrons.insert(chevrons.end(), lower.begin(), lower.end());
    PaintMask(canvas, StrokeMask(canvas, chevrons, kSub * 3 / 4), palette.panel_edge, 230);
}

void DrawFolderIcon(RgbCanvas& canvas, const ScreenPalette& palette, int x, int y) {
    const Rgb light = Mix(palette.accent, kWhite, 1, 2);
    FillRoundedRect(canvas, x, y, 9, 5, 2, palette.accent, 255);
    FillRoundedRect(canvas, x, y + 3, 20, 13, 2, palette.accent, 255);
    CoverageMask front = RoundedRectMask(canvas, x, y + 5, 20, 11, 2);
    PaintMask(canvas, front, [&](int, int row) { return Mix(light, palette.accent, row - y - 5, 11); });
}

void DrawBatteryIcon(RgbCanvas& canvas, const ScreenPalette& palette, int x, int y) {
    FillRoundedRect(canvas, x, y, 24, 12, 3, palette.panel_edge, 230);
    FillRoundedRect(canvas, x + 1, y + 1, 22, 10, 2, Mix(palette.panel, kBlack, 1, 2), 255);
    FillRoundedRect(canvas, x + 24, y + 3, 3, 6, 1, palette.panel_edge, 230);
    for (int cell = 0; cell < 3; ++cell) {
        FillRoundedRect(canvas, x + 3 + cell * 6, y + 3, 5, 6, 1, palette.accent, 255);
    }
}

void DrawSignalIcon(RgbCanvas& canvas, const ScreenPalette& palette, int x, int y) {
    for (int bar = 0; bar < 5; ++bar) {
        const int h = 3 + bar * 3;
        const Rgb color = bar < 4 ? palette.accent : Mix(palette.panel_edge, kBlack, 1, 2);
        FillRoundedRect(canvas, x + bar * 5, y + 15 - h, 3, h, 1, color, 255);
    }
}

void DrawLabel(RgbCanvas& canvas, std::string_view text, int cx, int cy, int unit, int stroke, Rgb color,
               int opacity) {
    const TextStyle style{.unit = unit, .gap = unit + stroke};
    const int left = cx * kSub - TextWidth(text, style) / 2;
    const int top = cy * kSub - 3 * unit;
    PaintMask(canvas, StrokeMask(canvas, LayoutText(text, left, top, style), stroke), color, opacity);
}

void DrawWordmark(RgbCanvas& canvas, const ScreenPalette& palette, std::string_view text, int cx, int cy,
                  int unit, int stroke) {
    const TextStyle style{.unit = unit, .gap = unit * 2 + stroke};
    const int left = cx * kSub - TextWidth(text, style) / 2;
    const int top = cy * kSub - 3 * unit;
    const std::vector<Segment> strokes = LayoutText(text, left, top, style);
    const CoverageMask letters = StrokeMask(canvas, strokes, stroke);

    CoverageMask glow = letters;
    glow.Blur(stroke / kSub + 3);
    PaintMask(canvas, glow, palette.glow, 255);

    // The reflection: the letters mirrored under the baseline, fading out downwards.
    const int baseline = top + 6 * unit;
    const int gap = 3 * stroke;
    std::vector<Segment> mirrored;
    for (const Segment& s : strokes) {
        mirrored.push_back({s.x0, 2 * baseline + gap - s.y0, s.x1, 2 * baseline + gap - s.y1});
    }
    const CoverageMask reflection = StrokeMask(canvas, mirrored, stroke);
    const int reflection_top = (baseline + gap) / kSub;
    const int reflection_height = 6 * unit / kSub * 2 / 3;
    for (int y = reflection_top; y < reflection_top + reflection_height; ++y) {
        const int fade = 70 * (reflection_top + reflection_height - y) / reflection_height;
        for (int x = 0; x < canvas.width(); ++x) {
            canvas.Blend(x, y, palette.ink_shade, reflection.At(x, y) * fade / 255);
        }
    }

    CoverageMask shadow(canvas.width(), canvas.height());
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            shadow.Raise(x + 2, y + 3, letters.At(x, y));
        }
    }
    shadow.Blur(2);
    PaintMask(canvas, shadow, kBlack, 150);

    const int top_px = top / kSub;
    const int height_px = 6 * unit / kSub;
    PaintMask(canvas, letters,
              [&](int, int y) { return Mix(palette.ink, palette.ink_shade, y - top_px, height_px); });
}

void DrawFamilyEmblem(RgbCanvas& canvas, const ScreenPalette& palette, int cx, int cy, int radius) {
    const int c8x = cx * kSub;
    const int c8y = cy * kSub;
    const int r8 = radius * kSub;
    const int ring = std::max(kSub * 3 / 2, r8 / 12);

    CoverageMask halo = DiscMask(canvas, c8x, c8y, r8 + ring);
    halo.Blur(std::max(2, radius / 6));
    PaintMask(canvas, halo, palette.glow, 150);

    // A dark disc with a light ring around it.
    CoverageMask disc = DiscMask(canvas, c8x, c8y, r8);
    const Rgb deep = Mix(palette.panel, kBlack, 1, 3);
    const Rgb lit = Mix(palette.panel, palette.accent, 1, 4);
    PaintMask(canvas, disc, [&](int, int y) { return Mix(lit, deep, y - (cy - radius), 2 * radius); });
    CoverageMask rim(canvas.width(), canvas.height());
    rim.Add(cx - radius - 2, cy - radius - 2, cx + radius + 3, cy + radius + 3, [&](int sx, int sy) {
        return InDisc(sx, sy, c8x, c8y, r8) && !InDisc(sx, sy, c8x, c8y, r8 - ring);
    });
    PaintMask(canvas, rim,
              [&](int, int y) { return Mix(palette.ink, palette.accent, y - (cy - radius), 2 * radius); });

    // The M as a waveform: up, down to the middle, up, down, running out along a baseline.
    const int u = r8 / 8;
    const int base = c8y + 2 * u;
    const std::vector<Segment> wave = Polyline({{c8x - 6 * u, base},
                                                {c8x - 4 * u, base},
                                                {c8x - 3 * u, c8y - 3 * u},
                                                {c8x, c8y + u},
                                                {c8x + 3 * u, c8y - 3 * u},
                                                {c8x + 4 * u, base},
                                                {c8x + 6 * u, base}});
    const CoverageMask mark = StrokeMask(canvas, wave, std::max(kSub, u * 2 / 3));
    CoverageMask mark_glow = mark;
    mark_glow.Blur(std::max(1, radius / 12));
    PaintMask(canvas, mark_glow, palette.accent, 220);
    PaintMask(canvas, mark, palette.ink);
}

}  // namespace tolven::screens
