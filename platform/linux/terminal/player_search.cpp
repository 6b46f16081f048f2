// Linux host, terminal: scanning the letters one at a time.
#include "platform/linux/terminal/player_search.h"

namespace tolven::linux_host {

namespace {

class NoButton final : public IEnableableButton {
  public:
    void EnableWindow(bool) override {}
};

// The letter a root path "X:\" or a volume path "\\?\X:" names; 0 for another shape.
char LetterOf(std::u16string_view path) {
    if (path.size() >= 2 && path[1] == u':') {
        return DriveLetterOf(path[0]);
    }
    if (path.size() >= 6 && path.substr(0, 4) == u"\\\\?\\" && path[5] == u':') {
        return DriveLetterOf(path[4]);
    }
    return 0;
}

}  // namespace

uint32_t OneLetterStorage::GetDriveTypeW(std::u16string_view rootPath) {
    return LetterOf(rootPath) == letter_ ? inner_.GetDriveTypeW(rootPath) : kDriveNoRootDir;
}

std::unique_ptr<IStorageDevice> OneLetterStorage::OpenStorageDevice(std::u16string_view volumePath) {
    return LetterOf(volumePath) == letter_ ? inner_.OpenStorageDevice(volumePath) : nullptr;
}

std::string WhyNotAPlayer(const DriveTarget& target) {
    if (target.busType != kBusTypeUsb) {
        return "'" + target.path + "' is not a USB disk";
    }
    std::string reason = "'" + target.path + "' reports vendor '";
    reason += target.vendorId;
    reason += "' and product '";
    reason += target.productId;
    return reason + "', which is not a Tolven player";
}

std::vector<FoundPlayer> FindPlayers(const DriveTable& drives, IStorageIdentification& storage) {
    std::vector<FoundPlayer> players;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        const DriveTarget* target = drives.Find(letter);
        if (target == nullptr) {
            continue;
        }
        OneLetterStorage only(storage, letter);
        NoButton button;
        FoundPlayer player;
        player.target = target;
        player.drive.m_nDrive = player.drive.ScanForPlayer(only, button);
        if (player.drive.m_nDrive == letter) {
            players.push_back(std::move(player));
        }
    }
    return players;
}

}  // namespace tolven::linux_host
