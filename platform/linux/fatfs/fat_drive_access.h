// Linux host, FAT32 file layer: from a drive letter to its mounted FAT32 volume. The drive table
// names the target, the injected factory opens its block device (the terminal program passes the
// run's descriptors, tests in-memory devices), and the clock stamps new entries.
//
// One mount per drive letter and run: the first file-system call that reaches a letter opens and
// checks its volume, and every later call reuses that mount (label, space, folders, files,
// deletes). Each call still leaves the volume consistent on disk before it returns. The mount is
// dropped and made again when the volume below it changed: a format of the letter (the device's
// change count moved), the letter now naming another target, or a failed write. A mount is made
// writable when the target allows it; one that could only be made for reading is made again for
// the first writing call.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "fatfs/block_device.h"
#include "fatfs/fat32_volume.h"
#include "fatfs/fat_status.h"
#include "platform/linux/host/drive_table.h"
#include "platform/linux/volume/linux_block_device.h"
#include "platform/linux/volume/target_table.h"

namespace tolven::linux_host {

// Opens the target's volume, for writing when `writable`; null with errno in `error` when it cannot.
using BlockDeviceFactory =
    std::function<std::unique_ptr<IBlockDevice>(const DriveTarget& target, bool writable, int& error)>;

// The mounted volumes of a run, by drive letter.
struct FatMounts {
    struct Mount {
        std::string path;  // the target it was made on
        bool writable = false;
        uint64_t changeCount = 0;  // the device's, when mounted
        std::unique_ptr<IBlockDevice> device;
        std::unique_ptr<Fat32Volume> volume;
    };
    std::map<char, Mount> byLetter;
};

struct FatDriveAccess {
    const DriveTable* drives = nullptr;
    BlockDeviceFactory openDevice;
    LocalTimeSource localTime;  // empty: the host's local time
    // Shared by every copy of this access: the panel, the label and the installer use one mount.
    std::shared_ptr<FatMounts> mounts = std::make_shared<FatMounts>();
};

// Opens the drives' volumes over the run's descriptors of their targets (`targets` must outlive
// the result).
FatDriveAccess TargetDriveAccess(TargetTable& targets);

enum class FatIntent { kRead, kWrite };

// Runs `work` on the mounted volume of drive `letter`, mounting it first when there is no
// current mount (or only one for reading and `intent` is kWrite).
FatStatus WithDriveVolume(const FatDriveAccess& access, char letter, FatIntent intent,
                          const std::function<FatStatus(Fat32Volume&)>& work);

}  // namespace tolven::linux_host
