// The pieces the screens are built from: framed panes, recessed boxes, scroll bars, status icons,
// the TOLVEN word and the second family mark. Positions and sizes are in pixels unless noted.
#pragma once

#include <string_view>

#include "tools/screens/rgb_canvas.h"
#include "tools/screens/screen_palette.h"

namespace tolven::screens {

struct Box {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
};

// A raised pane with a soft drop shadow, a thin light frame and a translucent fill.
void DrawPane(RgbCanvas& canvas, const ScreenPalette& palette, Box box, int radius, int fill_opacity = 200);
// A recessed box, darker than a pane, for text and pictures that the player draws in.
void DrawInset(RgbCanvas& canvas, const ScreenPalette& palette, Box box, int radius);
// A highlighted row or button in the accent colour.
void DrawHighlight(RgbCanvas& canvas, const ScreenPalette& palette, Box box, int radius);
// A vertical scroll bar in `box` (about 10 wide) with arrows at both ends; the thumb covers
// thumb_from..thumb_from+thumb_length of the track, counted in 1/100 of its length.
void DrawScrollBar(RgbCanvas& canvas, const ScreenPalette& palette, Box box, int thumb_from,
                   int thumb_length);

void DrawFolderIcon(RgbCanvas& canvas, const ScreenPalette& palette, int x, int y);
void DrawBatteryIcon(RgbCanvas& canvas, const ScreenPalette& palette, int x, int y);
void DrawSignalIcon(RgbCanvas& canvas, const ScreenPalette& palette, int x, int y);

// Capital letters in the stroke font, centred on (cx, cy); unit is the grid unit in eighth pixels
// (letters are six units high), stroke the half thickness in eighth pixels.
void DrawLabel(RgbCanvas& canvas, std::string_view text, int cx, int cy, int unit, int stroke, Rgb color,
               int opacity = 255);
// The maker's word with a glow, a shadow, gradient letters and a faint reflection below.
void DrawWordmark(RgbCanvas& canvas, const ScreenPalette& palette, std::string_view text, int cx, int cy,
                  int unit, int stroke);
// The second family mark: a ring around a waveform that rises and falls as an M on a baseline.
void DrawFamilyEmblem(RgbCanvas& canvas, const ScreenPalette& palette, int cx, int cy, int radius);

}  // namespace tolven::screens
