// The colour schemes of the three player families; every screen of a family uses one scheme, so
// the pictures read as one product's interface.
#pragma once

#include "tools/screens/rgb_canvas.h"

namespace tolven::screens {

struct ScreenPalette {
    Rgb sky_top;     // background gradient, top left
    Rgb sky_bottom;  // background gradient, bottom right
    Rgb glow;        // soft light behind the content
    Rgb wave;        // the abstract bands of the backgrounds
    Rgb accent;      // selection, thumbs, highlights
    Rgb panel;       // inside of frames and panes
    Rgb panel_edge;  // frame lines
    Rgb ink;         // letters and marks
    Rgb ink_shade;   // lower end of the letters' gradient
};

// First family (VQ10): deep sea blue with cyan light.
const ScreenPalette& OceanPalette();
// Second family (VQ20, VQ30): graphite with amber light.
const ScreenPalette& EmberPalette();
// Third family (VQ40, VQ45): plum with rose light.
const ScreenPalette& OrchidPalette();

}  // namespace tolven::screens
