// The five kinds of screens the players show, painted at 480 x 272 in a family's colours.
#pragma once

#include "tools/screens/rgb_canvas.h"
#include "tools/screens/screen_palette.h"

namespace tolven::screens {

inline constexpr int kScreenWidth = 480;
inline constexpr int kScreenHeight = 272;

struct FileBrowserOptions {
    bool family_mark_on_tab = false;  // the second family mark instead of the folder icon
    bool scroll_bars = false;
};

// Tabs along the top, a list pane on the left and a preview pane on the right.
RgbCanvas PaintFileBrowser(const ScreenPalette& palette, const FileBrowserOptions& options);
// The backdrop alone; `dark` dims it for a home screen whose icons need contrast.
RgbCanvas PaintHomeBackground(const ScreenPalette& palette, int variant, bool dark);
// The start-up screen with the TOLVEN word; `variant` moves the light and the bands.
RgbCanvas PaintIntro(const ScreenPalette& palette, int variant);
// The start-up screen with the second family mark.
RgbCanvas PaintFamilyIntro(const ScreenPalette& palette);
// One framed text panel with a scroll bar, optionally with striped lines.
RgbCanvas PaintTextPanel(const ScreenPalette& palette, bool striped);
// The radio screen: an empty box for the station text, a level display and the sound presets.
RgbCanvas PaintRadio(const ScreenPalette& palette);

}  // namespace tolven::screens
