// Linux host, terminal: every player among the drive letters. The product's scan stops at the
// first player; a disk tool must see them all so that it never picks one silently. Each letter is
// scanned on its own with the product's scan, so a player is recognised exactly as the dialog
// recognises it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "device/player_drive_info.h"
#include "platform/linux/host/drive_table.h"

namespace tolven::linux_host {

struct FoundPlayer {
    const DriveTarget* target = nullptr;
    CPlayerDriveInfo drive;  // as the scan left it: letter, root path, vendor and model
};

std::vector<FoundPlayer> FindPlayers(const DriveTable& drives, IStorageIdentification& storage);

// Why a named target is not taken for a player, in English: "'/dev/sdc' is not a USB disk". The
// path and the device's texts are as they are: print it through TerminalSafe.
std::string WhyNotAPlayer(const DriveTarget& target);

// The storage identification with only one letter present: the dialog then finds that player,
// at its own letter, and no other.
class OneLetterStorage final : public IStorageIdentification {
  public:
    OneLetterStorage(IStorageIdentification& inner, char letter) : inner_(inner), letter_(letter) {}
    uint32_t GetDriveTypeW(std::u16string_view rootPath) override;
    std::unique_ptr<IStorageDevice> OpenStorageDevice(std::u16string_view volumePath) override;
    std::u16string WidenIdentification(std::string_view text) override {
        return inner_.WidenIdentification(text);
    }

  private:
    IStorageIdentification& inner_;
    char letter_;
};

}  // namespace tolven::linux_host
