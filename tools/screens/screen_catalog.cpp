#include "tools/screens/screen_catalog.h"

#include "tools/screens/screen_palette.h"
#include "tools/screens/screen_pictures.h"

namespace tolven::screens {

const std::vector<ScreenBlock>& ScreenBlocks() {
    static const std::vector<ScreenBlock> blocks = {
        // First family: one player, the second family mark on the browser tab and a start-up screen.
        {159, "FILEBR_M.JPG", 0,
         [] { return PaintFileBrowser(OceanPalette(), {.family_mark_on_tab = true}); }},
        {160, "FILEBROW.JPG", 0, [] { return PaintFileBrowser(OceanPalette(), {}); }},
        {161, "HOMEBG.JPG", 0, [] { return PaintHomeBackground(OceanPalette(), 0, false); }},
        {162, "HOMEBG_M.JPG", 161, nullptr},
        {163, "INTRO.JPG", 0, [] { return PaintIntro(OceanPalette(), 0); }},
        {164, "INTRO_M.JPG", 0, [] { return PaintFamilyIntro(OceanPalette()); }},
        {165, "TEXTBG.JPG", 0, [] { return PaintTextPanel(OceanPalette(), true); }},
        {166, "TEXTBG_M.JPG", 165, nullptr},
        // Second family: the radio players.
        {167, "DABBG.JPG", 0, [] { return PaintRadio(EmberPalette()); }},
        {168, "FILEBROW.JPG", 0, [] { return PaintFileBrowser(EmberPalette(), {.scroll_bars = true}); }},
        {169, "HOMEBG.JPG", 0, [] { return PaintHomeBackground(EmberPalette(), 2, true); }},
        {170, "INTRO.JPG", 0, [] { return PaintIntro(EmberPalette(), 1); }},
        {171, "TEXTBG.JPG", 0, [] { return PaintTextPanel(EmberPalette(), false); }},
        // Third family.
        {172, "FILEBROW.JPG", 0, [] { return PaintFileBrowser(OrchidPalette(), {}); }},
        {173, "INTRO.JPG", 0, [] { return PaintIntro(OrchidPalette(), 2); }},
        {174, "MAINBACK.JPG", 0, [] { return PaintHomeBackground(OrchidPalette(), 1, false); }},
        {175, "TEXTBG.JPG", 0, [] { return PaintTextPanel(OrchidPalette(), false); }},
    };
    return blocks;
}

std::string BlockFileName(uint16_t id) {
    return "block_" + std::to_string(id) + ".jpg";
}

}  // namespace tolven::screens
