// Linux host: finding the targets that get drive letters. USB disks come from sysfs; disk images
// are added by the caller with the identification it wants them to report.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "device/storage_identification.h"
#include "platform/linux/host/drive_table.h"
#include "platform/linux/host/status.h"

namespace tolven::linux_host {

// A USB disk as sysfs describes it.
struct UsbDisk {
    std::string name;        // kernel name, "sdb"
    std::string devicePath;  // its partition 1's node, or the whole disk's when it has none
    Status refusal;          // when the partitions sysfs shows must not be formatted over
    uint32_t driveType = 0;  // kDriveRemovable or kDriveFixed, from the disk's "removable" flag
    std::string vendorId;    // device/vendor and device/model, blanks kept, line end removed
    std::string productId;
};

// The disks under <sysfsRoot>/block whose device sits on a USB bus, in kernel name order (shorter
// names first, so sdz comes before sdaa). Disks that report a size of 0 (a reader without a
// medium) are left out. Device nodes are named under devRoot. A missing sysfs gives no disks.
std::vector<UsbDisk> FindUsbDisks(const std::filesystem::path& sysfsRoot = "/sys",
                                  const std::filesystem::path& devRoot = "/dev");

// Adds every disk of FindUsbDisks to the table as a USB target, in that order. A disk that can be
// read has its partition table checked (partition 1 of a sane MBR, or the whole disk without a
// table; any other table is recorded as the target's refusal). Returns how many got a letter.
std::size_t AddUsbDisks(DriveTable& table, const std::filesystem::path& sysfsRoot = "/sys",
                        const std::filesystem::path& devRoot = "/dev");

// The identification a disk image reports through the storage query.
struct DiskImageIdentity {
    std::string vendorId;  // as a device would report it, e.g. "TOLVEN  "
    std::string productId;
    uint32_t driveType = kDriveRemovable;
};

// Adds an image file as a USB target. Returns its letter, or 0 when every letter is taken.
char AddDiskImage(DriveTable& table, const std::string& imagePath, const DiskImageIdentity& identity);

}  // namespace tolven::linux_host
