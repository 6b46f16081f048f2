#include "tools/screens/screen_palette.h"

namespace tolven::screens {

const ScreenPalette& OceanPalette() {
    static const ScreenPalette palette{
        .sky_top = {10, 42, 84},
        .sky_bottom = {4, 14, 36},
        .glow = {60, 170, 220},
        .wave = {90, 200, 240},
        .accent = {40, 190, 235},
        .panel = {8, 26, 52},
        .panel_edge = {110, 180, 220},
        .ink = {245, 250, 255},
        .ink_shade = {160, 205, 230},
    };
    return palette;
}

const ScreenPalette& EmberPalette() {
    static const ScreenPalette palette{
        .sky_top = {44, 44, 50},
        .sky_bottom = {12, 12, 16},
        .glow = {230, 140, 40},
        .wave = {250, 170, 70},
        .accent = {245, 150, 30},
        .panel = {22, 22, 28},
        .panel_edge = {150, 140, 130},
        .ink = {255, 248, 235},
        .ink_shade = {235, 190, 120},
    };
    return palette;
}

const ScreenPalette& OrchidPalette() {
    static const ScreenPalette palette{
        .sky_top = {70, 30, 84},
        .sky_bottom = {24, 10, 40},
        .glow = {235, 110, 170},
        .wave = {250, 150, 200},
        .accent = {240, 90, 160},
        .panel = {34, 14, 44},
        .panel_edge = {210, 160, 200},
        .ink = {255, 246, 252},
        .ink_shade = {230, 180, 215},
    };
    return palette;
}

}  // namespace tolven::screens
