#include "tools/screens/screen_pictures.h"

#include <array>
#include <string_view>
#include <vector>

#include "tools/screens/backdrop.h"
#include "tools/screens/coverage_mask.h"
#include "tools/screens/integer_sine.h"
#include "tools/screens/ui_elements.h"

namespace tolven::screens {

namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr int kBarHeight = 36;

RgbCanvas Blank() {
    return RgbCanvas(kScreenWidth, kScreenHeight, kBlack);
}

// A line that fades out towards both ends.
void DrawFadingRule(RgbCanvas& canvas, Rgb color, int cx, int y, int half_width, int opacity) {
    for (int x = cx - half_width; x < cx + half_width; ++x) {
        const int distance = x < cx ? cx - x : x - cx;
        canvas.Blend(x, y, color, opacity * (half_width - distance) / half_width);
    }
}

void DrawDots(RgbCanvas& canvas, const ScreenPalette& palette, int cx, int cy, int count, int lit) {
    for (int i = 0; i < count; ++i) {
        const int x = cx + (2 * i - (count - 1)) * 7;
        const Rgb color = i == lit ? palette.accent : palette.panel_edge;
        PaintMask(canvas, DiscMask(canvas, x * kSub, cy * kSub, 5 * kSub / 2), color, i == lit ? 255 : 140);
    }
}

// A tab standing on the bar: rounded at the top, cut straight where the bar ends.
void DrawTab(RgbCanvas& canvas, const ScreenPalette& palette, Box box, bool active) {
    CoverageMask mask(canvas.width(), canvas.height());
    mask.Add(box.x, box.y, box.x + box.w, kBarHeight,
             [&](int sx, int sy) { return InRoundedRect(sx, sy, box.x, box.y, box.w, box.h + 10, 7); });
    const Rgb edge = active ? palette.accent : palette.panel_edge;
    PaintMask(canvas, mask, edge, active ? 230 : 120);
    CoverageMask inner(canvas.width(), canvas.height());
    inner.Add(box.x, box.y, box.x + box.w, kBarHeight, [&](int sx, int sy) {
        return InRoundedRect(sx, sy, box.x + 1, box.y + 1, box.w - 2, box.h + 10, 6);
    });
    const Rgb top =
        active ? Mix(palette.panel, palette.accent, 2, 5) : Mix(palette.panel, palette.panel_edge, 1, 6);
    const Rgb bottom = active ? Mix(palette.panel, palette.accent, 1, 6) : palette.panel;
    PaintMask(
        canvas, inner, [&](int, int y) { return Mix(top, bottom, y - box.y, box.h); }, 235);
}

void DrawNoteIcon(RgbCanvas& canvas, const ScreenPalette& palette, int x, int y) {
    const Rgb color = palette.panel_edge;
    PaintMask(canvas, DiscMask(canvas, (x + 4) * kSub, (y + 13) * kSub, 3 * kSub + 4), color);
    PaintMask(canvas, DiscMask(canvas, (x + 14) * kSub, (y + 11) * kSub, 3 * kSub + 4), color);
    const std::vector<Segment> stems = {{(x + 7) * kSub, (y + 13) * kSub, (x + 7) * kSub, (y + 2) * kSub},
                                        {(x + 17) * kSub, (y + 11) * kSub, (x + 17) * kSub, y * kSub},
                                        {(x + 7) * kSub, (y + 2) * kSub, (x + 17) * kSub, y * kSub},
                                        {(x + 7) * kSub, (y + 5) * kSub, (x + 17) * kSub, (y + 3) * kSub}};
    PaintMask(canvas, StrokeMask(canvas, stems, kSub * 3 / 4), color);
}

void DrawPictureIcon(RgbCanvas& canvas, const ScreenPalette& palette, int x, int y) {
    const Rgb color = palette.panel_edge;
    FillRoundedRect(canvas, x, y, 22, 16, 2, color, 255);
    FillRoundedRect(canvas, x + 2, y + 2, 18, 12, 1, Mix(palette.panel, kBlack, 1, 3), 255);
    const std::vector<Segment> hills = {{(x + 3) * kSub, (y + 13) * kSub, (x + 9) * kSub, (y + 6) * kSub},
                                        {(x + 9) * kSub, (y + 6) * kSub, (x + 13) * kSub, (y + 11) * kSub},
                                        {(x + 12) * kSub, (y + 10) * kSub, (x + 15) * kSub, (y + 8) * kSub},
                                        {(x + 15) * kSub, (y + 8) * kSub, (x + 19) * kSub, (y + 13) * kSub}};
    PaintMask(canvas, StrokeMask(canvas, hills, kSub), color);
    PaintMask(canvas, DiscMask(canvas, (x + 16) * kSub, (y + 5) * kSub, 2 * kSub), palette.accent);
}

void DrawTopBar(RgbCanvas& canvas) {
    for (int y = 0; y < kBarHeight; ++y) {
        canvas.BlendRect(0, y, kScreenWidth, 1, kBlack, 150 - y * 2);
    }
}

void DrawBarEdge(RgbCanvas& canvas, const ScreenPalette& palette, int y) {
    canvas.BlendRect(0, y, kScreenWidth, 1, palette.panel_edge, 90);
    DrawFadingRule(canvas, palette.accent, kScreenWidth / 2, y, kScreenWidth / 2, 200);
}

void DrawBottomBar(RgbCanvas& canvas, const ScreenPalette& palette) {
    canvas.BlendRect(0, 252, kScreenWidth, 20, kBlack, 130);
    DrawBarEdge(canvas, palette, 252);
    DrawDots(canvas, palette, kScreenWidth / 2, 262, 3, 0);
}

}  // namespace

RgbCanvas PaintFileBrowser(const ScreenPalette& palette, const FileBrowserOptions& options) {
    RgbCanvas canvas = Blank();
    PaintBackdrop(canvas, palette,
                  {.glow_x = 420,
                   .glow_y = 10,
                   .glow_strength = 70,
                   .wave_strength = 40,
                   .wave_phase = 40,
                   .spots = 5,
                   .spot_seed = 3});
    DrawTopBar(canvas);
    DrawTab(canvas, palette, {8, 6, 150, 30}, true);
    DrawTab(canvas, palette, {164, 10, 70, 26}, false);
    DrawTab(canvas, palette, {240, 10, 70, 26}, false);
    DrawBarEdge(canvas, palette, kBarHeight);
    if (options.family_mark_on_tab) {
        DrawFamilyEmblem(canvas, palette, 83, 21, 11);
    } else {
        DrawFolderIcon(canvas, palette, 73, 13);
    }
    DrawNoteIcon(canvas, palette, 189, 15);
    DrawPictureIcon(canvas, palette, 264, 15);
    DrawBatteryIcon(canvas, palette, 442, 13);

    const int bar = options.scroll_bars ? 14 : 0;
    const Box list{8, 44, 176, 202};
    const Box preview{192, 44, 280, 202};
    DrawPane(canvas, palette, list, 8);
    DrawPane(canvas, palette, preview, 8);

    // The list's rows: the first one selected, the others separated by faint rules.
    const int row_width = list.w - 16 - bar;
    DrawHighlight(canvas, palette, {list.x + 8, list.y + 8, row_width, 24}, 5);
    for (int row = 1; row < 7; ++row) {
        const int y = list.y + 8 + row * 27 + 24;
        if (y < list.y + list.h - 6) {
            canvas.BlendRect(list.x + 12, y, row_width - 8, 1, palette.panel_edge, 50);
        }
    }
    DrawInset(canvas, palette, {preview.x + 10, preview.y + 10, preview.w - 20 - bar, preview.h - 20}, 6);
    if (options.scroll_bars) {
        DrawScrollBar(canvas, palette, {list.x + list.w - 18, list.y + 8, 10, list.h - 16}, 0, 30);
        DrawScrollBar(canvas, palette, {preview.x + preview.w - 18, preview.y + 10, 10, preview.h - 20}, 25,
                      40);
    }
    DrawBottomBar(canvas, palette);
    return canvas;
}

RgbCanvas PaintHomeBackground(const ScreenPalette& palette, int variant, bool dark) {
    RgbCanvas canvas = Blank();
    // Where the light falls and how the bands run differ per variant, so no two screens match.
    struct Light {
        int x;
        int y;
        int phase;
        int seed;
    };
    constexpr Light kLights[] = {{380, 30, 0, 7}, {140, 70, 110, 8}, {260, -20, 220, 9}};
    const Light& light = kLights[variant % 3];
    BackdropStyle style{.glow_x = light.x,
                        .glow_y = light.y,
                        .glow_radius = 300,
                        .glow_strength = 110,
                        .wave_strength = 110,
                        .wave_phase = light.phase,
                        .spots = 12,
                        .spot_seed = light.seed};
    if (dark) {
        style.darken = 110;
        style.glow_strength = 70;
        style.wave_strength = 90;
    }
    PaintBackdrop(canvas, palette, style);
    return canvas;
}

RgbCanvas PaintIntro(const ScreenPalette& palette, int variant) {
    RgbCanvas canvas = Blank();
    PaintBackdrop(canvas, palette,
                  {.glow_x = 240,
                   .glow_y = 118,
                   .glow_radius = 320,
                   .glow_strength = 120,
                   .wave_strength = variant == 0 ? 45 : 90,
                   .wave_phase = 200 + variant * 90,
                   .spots = 6 + variant * 6,
                   .spot_seed = 11 + variant});
    DrawWordmark(canvas, palette, "TOLVEN", 240, 112, 8 * kSub, 3 * kSub + 4);
    DrawFadingRule(canvas, palette.accent, 240, 196, 130, 230);
    DrawFadingRule(canvas, kWhite, 240, 197, 90, 90);
    DrawDots(canvas, palette, 240, 226, 3, 1);
    return canvas;
}

RgbCanvas PaintFamilyIntro(const ScreenPalette& palette) {
    RgbCanvas canvas = Blank();
    PaintBackdrop(canvas, palette,
                  {.glow_x = 240,
                   .glow_y = 110,
                   .glow_radius = 280,
                   .glow_strength = 110,
                   .wave_strength = 30,
                   .wave_phase = 300,
                   .spots = 4,
                   .spot_seed = 17});
    DrawFamilyEmblem(canvas, palette, 240, 108, 56);
    DrawFadingRule(canvas, palette.accent, 240, 190, 110, 220);
    DrawLabel(canvas, "TOLVEN", 240, 214, 3 * kSub, kSub + 2, palette.ink, 220);
    return canvas;
}

RgbCanvas PaintTextPanel(const ScreenPalette& palette, bool striped) {
    RgbCanvas canvas = Blank();
    PaintBackdrop(canvas, palette,
                  {.glow_x = 100,
                   .glow_y = 0,
                   .glow_strength = 80,
                   .wave_strength = 50,
                   .wave_phase = 160,
                   .spots = 6,
                   .spot_seed = 23});
    const Box pane{12, 12, 456, 248};
    DrawPane(canvas, palette, pane, 10);
    const Box page{24, 24, 408, 224};
    DrawInset(canvas, palette, page, 6);
    if (striped) {
        // Ruled lines with every other one tinted, like lined paper under the text.
        constexpr int kLine = 22;
        for (int row = 0; row * kLine < page.h - 8; ++row) {
            const int y = page.y + 4 + row * kLine;
            if (row % 2 == 1) {
                canvas.BlendRect(page.x + 4, y, page.w - 8, kLine, palette.panel_edge, 22);
            }
            canvas.BlendRect(page.x + 8, y + kLine - 1, page.w - 16, 1, palette.accent, 70);
        }
    }
    DrawScrollBar(canvas, palette, {page.x + page.w + 8, page.y, 12, page.h}, 0, 22);
    return canvas;
}

RgbCanvas PaintRadio(const ScreenPalette& palette) {
    RgbCanvas canvas = Blank();
    PaintBackdrop(canvas, palette,
                  {.glow_x = 240,
                   .glow_y = 150,
                   .glow_radius = 300,
                   .glow_strength = 80,
                   .wave_strength = 40,
                   .wave_phase = 60,
                   .spots = 8,
                   .spot_seed = 31,
                   .darken = 40});
    DrawTopBar(canvas);
    DrawBarEdge(canvas, palette, kBarHeight);
    DrawSignalIcon(canvas, palette, 14, 10);
    DrawBatteryIcon(canvas, palette, 442, 12);

    // The station's text goes into this box; the player writes it, the picture leaves it empty.
    DrawPane(canvas, palette, {14, 46, 452, 70}, 10);
    DrawInset(canvas, palette, {24, 56, 432, 50}, 6);

    // A level display of bars between the text box and the presets.
    constexpr int kBars = 36;
    for (int i = 0; i < kBars; ++i) {
        const int level =
            8 + (44 * (kSineOne + Sine(i * 23 + 40)) + 18 * (kSineOne + Sine(i * 61))) / (2 * kSineOne);
        const int x = 24 + i * 12;
        const int bottom = 196;
        CoverageMask bar = RoundedRectMask(canvas, x, bottom - level, 8, level, 2);
        PaintMask(
            canvas, bar,
            [&](int, int y) {
                return Mix(Mix(palette.accent, kWhite, 1, 2), palette.accent, y - (bottom - 70), 70);
            },
            200);
        canvas.BlendRect(x, bottom + 2, 8, 8, palette.accent, 40);
    }

    const std::array<std::string_view, 5> presets = {"NORMAL", "ROCK", "POP", "JAZZ", "CLASSIC"};
    constexpr int kButtonWidth = 84;
    constexpr int kButtonGap = 6;
    for (size_t i = 0; i < presets.size(); ++i) {
        const Box button{18 + static_cast<int>(i) * (kButtonWidth + kButtonGap), 216, kButtonWidth, 30};
        if (i == 0) {
            DrawHighlight(canvas, palette, button, 8);
        } else {
            DrawPane(canvas, palette, button, 8, 220);
        }
        DrawLabel(canvas, presets[i], button.x + button.w / 2, button.y + button.h / 2, 2 * kSub, kSub + 1,
                  i == 0 ? kWhite : palette.ink, 235);
    }
    return canvas;
}

}  // namespace tolven::screens
