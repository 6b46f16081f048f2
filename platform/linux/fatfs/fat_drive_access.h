// Linux host, FAT32 file layer: from a drive letter to an open FAT32 volume. The drive table
// names the target, the injected factory opens its block device (the terminal program passes the
// real one, tests an in-memory one), and the clock stamps new entries.
#pragma once

#include <functional>
#include <memory>

#include "platform/linux/fatfs/fat32_volume.h"
#include "platform/linux/fatfs/fat_status.h"
#include "platform/linux/host/drive_table.h"
#include "platform/linux/volume/block_device.h"
#include "platform/linux/volume/linux_block_device.h"
#include "platform/linux/volume/target_table.h"

namespace tolven::linux_host {

// Opens the target's volume for reading and writing; null when it cannot.
using BlockDeviceFactory = std::function<std::unique_ptr<IBlockDevice>(const DriveTarget&)>;

struct FatDriveAccess {
    const DriveTable* drives = nullptr;
    BlockDeviceFactory openDevice;
    LocalTimeSource localTime;  // empty: the host's local time
};

// Opens the drives' volumes over the run's descriptors of their targets (`targets` must outlive
// the result).
FatDriveAccess TargetDriveAccess(TargetTable& targets, BlockDeviceAccess access);

// A volume together with the device it lives on; the device closes when this goes away.
struct OpenedFatVolume {
    std::unique_ptr<IBlockDevice> device;
    std::unique_ptr<Fat32Volume> volume;
};

FatStatus OpenDriveVolume(const FatDriveAccess& access, char letter, OpenedFatVolume& out);

}  // namespace tolven::linux_host
