// The abstract backdrop under every screen: a diagonal gradient, a soft light, flowing bands, a few
// blurred light spots and darker corners. A style picks how much of each a screen gets.
#pragma once

#include "tools/screens/rgb_canvas.h"
#include "tools/screens/screen_palette.h"

namespace tolven::screens {

struct BackdropStyle {
    int glow_x = 360;  // centre of the soft light, pixels
    int glow_y = 40;
    int glow_radius = 260;   // pixels
    int glow_strength = 90;  // 0..255 at the centre
    int wave_strength = 70;  // 0..255; 0 draws no bands
    int wave_phase = 0;      // degrees, shifts the bands so screens differ
    int spots = 8;           // blurred light spots
    int spot_seed = 1;       // fixes where the spots fall
    int vignette = 110;      // 0..255 darkening in the corners
    int darken = 0;          // 0..255 towards black over everything, for the dark variant
};

void PaintBackdrop(RgbCanvas& canvas, const ScreenPalette& palette, const BackdropStyle& style);

}  // namespace tolven::screens
