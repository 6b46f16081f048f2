// Linux host, terminal: --list and --json, every player found, each with its panel and target
// description (or as one JSON array), without changing anything.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "device/volume_information.h"
#include "platform/linux/terminal/player_search.h"
#include "platform/linux/terminal/text_panel_canvas.h"
#include "platform/linux/volume/target_table.h"

namespace tolven::linux_host {

struct ListedPlayer {
    std::string path;
    char letter = 0;
    std::string vendor;  // as the scan compares them: "TOLVEN", "VQ10"
    std::string model;
    uint64_t sizeBytes = 0;
    std::string label;  // empty when the volume cannot be read
    uint64_t freeBytes = 0;
    uint64_t totalBytes = 0;
    std::string state;  // "formatted", "unformatted" (no readable volume) or "mounted"
};

// Reads the player's volume (label and space) and mounts. Reading only.
ListedPlayer ListPlayer(TargetTable& targets, const FoundPlayer& player, IVolumeInformation& volumes);

// The panel and the target description of every player, for a terminal `panelColumns` wide
// (the panel's Korean as English glosses with `englishGlosses`).
std::string PlayerListText(TargetTable& targets, std::vector<FoundPlayer>& players,
                           IVolumeInformation& volumes, int32_t panelColumns, bool englishGlosses = false);

// Several players and none named: they are listed, and the user is asked to name one.
std::string SeveralPlayersMessage(const std::vector<FoundPlayer>& players, const std::string& program);

// One JSON array of objects with the fields of ListedPlayer, and a final newline.
std::string PlayersAsJson(const std::vector<ListedPlayer>& players);

}  // namespace tolven::linux_host
