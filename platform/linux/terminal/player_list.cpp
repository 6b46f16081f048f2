// Linux host, terminal: the facts of a listed player and their JSON form.
#include "platform/linux/terminal/player_list.h"

#include "device/drive_info_panel.h"
#include "platform/linux/terminal/safe_text.h"
#include "platform/linux/terminal/target_description.h"
#include "platform/linux/terminal/terminal_text.h"
#include "platform/linux/volume/target_facts.h"

namespace tolven::linux_host {

ListedPlayer ListPlayer(TargetTable& targets, const FoundPlayer& player, IVolumeInformation& volumes) {
    ListedPlayer listed;
    listed.path = player.target->path;
    listed.letter = player.target->letter;
    listed.vendor = ToUtf8(player.drive.m_strVendor);
    listed.model = ToUtf8(player.drive.m_strModel);
    TargetFacts facts;
    const TargetOpen opened = targets.Open(listed.letter);
    if (opened.target && GatherTargetFacts(*opened.target, facts) == 0) {
        listed.sizeBytes = facts.sizeBytes;
    }
    const std::u16string root{static_cast<char16_t>(listed.letter), u':', u'\\'};
    char16_t label[kVolumeLabelCapacity] = {};
    const bool readable = volumes.GetVolumeInformationW(root, label, kVolumeLabelCapacity) &&
                          volumes.GetDiskFreeSpaceExW(root, listed.totalBytes, listed.freeBytes);
    if (readable) {
        listed.label = ToUtf8(label);
    }
    listed.state = !facts.mounts.empty() ? "mounted" : readable ? "formatted" : "unformatted";
    return listed;
}

std::string PlayerListText(TargetTable& targets, std::vector<FoundPlayer>& players,
                           IVolumeInformation& volumes, int32_t panelColumns, bool englishGlosses) {
    std::string text;
    for (FoundPlayer& player : players) {
        DrawDriveInfoPanel(player.drive, volumes, [&]() -> std::unique_ptr<IPanelCanvas> {
            return std::make_unique<TextPanelCanvas>(
                [&](const PanelDrawing& drawing) {
                    for (const std::string& line : RenderPanel(drawing, panelColumns, englishGlosses)) {
                        text += line + "\n";
                    }
                },
                panelColumns);
        });
        text += DescribeTargetNow(targets, *player.target) + "\n";
    }
    return text;
}

std::string SeveralPlayersMessage(const std::vector<FoundPlayer>& players, const std::string& program) {
    std::string text = program + ": " + std::to_string(players.size()) + " Tolven players found:\n";
    for (const FoundPlayer& player : players) {
        text += "  " + TerminalSafe(player.target->path) + "  (";
        text += player.target->letter;
        text +=
            ": " + ToUtf8(TerminalSafe(player.drive.m_strVendor + u" " + player.drive.m_strModel)) + ")\n";
    }
    return text + program + ": name the one to format: " + program + " [OPTION]... TARGET\n";
}

std::string PlayersAsJson(const std::vector<ListedPlayer>& players) {
    std::string json = "[";
    for (std::size_t i = 0; i < players.size(); ++i) {
        const ListedPlayer& p = players[i];
        json += i == 0 ? "\n  {" : ",\n  {";
        json += "\"path\": " + JsonString(p.path) + ", \"letter\": " + JsonString(std::string(1, p.letter)) +
                ", \"vendor\": " + JsonString(p.vendor) + ", \"model\": " + JsonString(p.model) +
                ", \"size\": " + std::to_string(p.sizeBytes) + ", \"label\": " + JsonString(p.label) +
                ", \"free\": " + std::to_string(p.freeBytes) +
                ", \"total\": " + std::to_string(p.totalBytes) + ", \"state\": " + JsonString(p.state) + "}";
    }
    return json + (players.empty() ? "]\n" : "\n]\n");
}

}  // namespace tolven::linux_host
