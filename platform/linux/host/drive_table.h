// Linux host: the emulated drive letters. Every target the host knows (a USB disk found in
// sysfs, or a disk image named on the command line) gets a letter, so that the scan, the
// formatter and the installer work with drive letters exactly as on Windows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/linux/host/status.h"

namespace tolven::linux_host {

// Every member has an initialiser, so that designated initialisers may leave any out under GCC.
struct DriveTarget {
    char letter = 0;         // assigned by DriveTable::Add
    std::string path;        // image file, or block device node (/dev/sdb1, /dev/sdc)
    bool isImage = false;    // a disk image file rather than a block device
    uint32_t driveType = 0;  // kDriveRemovable or kDriveFixed (device/storage_identification.h)
    uint32_t busType = 0;    // kBusTypeUsb for USB disks and images
    std::string vendorId{};  // identification as the device reports it, blanks included
    std::string productId{};
    // Why it must not be formatted, decided when it was found (a partition table that would be
    // formatted over), naming the path. Ok when nothing speaks against it.
    Status refusal{};
};

// A drive letter of either case as the upper-case letter; 0 when `c` is not a letter A to Z.
char DriveLetterOf(char16_t c);

class DriveTable {
  public:
    // Gives the target the next free letter (see drive_table.cpp for the order) and keeps it.
    // Returns the letter, or 0 when all letters are taken.
    char Add(DriveTarget target);
    const DriveTarget* Find(char letter) const;

  private:
    std::vector<DriveTarget> targets_;
};

}  // namespace tolven::linux_host
