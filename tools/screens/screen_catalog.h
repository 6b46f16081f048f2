// The seventeen screen blocks the program carries: their ids, the name each is written as on the
// player, and how each picture is painted. Two blocks repeat another block byte for byte.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/screens/rgb_canvas.h"

namespace tolven::screens {

struct ScreenBlock {
    uint16_t id;
    const char* player_file_name;      // the name in the player's SYSTEM folder
    uint16_t copy_of;                  // 0, or the id whose bytes this block repeats
    std::function<RgbCanvas()> paint;  // empty for a copy
};

const std::vector<ScreenBlock>& ScreenBlocks();
// "block_159.jpg": the block's file under res/content/.
std::string BlockFileName(uint16_t id);

}  // namespace tolven::screens
