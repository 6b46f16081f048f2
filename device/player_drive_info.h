// The main dialog's record of the found player, and the drive scan that fills it.
#pragma once

#include <cstdint>
#include <string>

#include "device/storage_identification.h"

namespace tolven {

// Drive values besides the letter codes 'A'..'Z' (65..90).
inline constexpr int32_t kDriveNoPlayer = -2;          // the scan found no player
inline constexpr int32_t kDriveVolumeUnreadable = -1;  // the panel could not read the player's volume

// Room for a volume label of 32 characters and its terminator.
inline constexpr uint32_t kVolumeLabelCapacity = 33;

class CPlayerDriveInfo {
  public:
    // Walks the letters A..Z and returns the code of the first one that holds a player (a local
    // removable or fixed drive on USB whose vendor is TOLVEN, directly or through the disk model
    // table), or kDriveNoPlayer. Enables the Format button when a player is found and disables it
    // otherwise. The caller stores the result in m_nDrive.
    // Also writes m_strRoot ("X:\", only for a found player) and m_strVendor / m_strModel (for
    // every USB drive examined).
    int32_t ScanForPlayer(IStorageIdentification& storage, IEnableableButton& formatButton);

    // Starts as "no player" so that nothing ever reads an undefined value; the first scan sets it.
    int32_t m_nDrive = kDriveNoPlayer;
    std::u16string m_strRoot;
    char16_t m_szVolumeLabel[kVolumeLabelCapacity] = {};
    std::u16string m_strVendor;
    std::u16string m_strModel;
};

}  // namespace tolven
