// Linux host: the volume of a drive letter's target as an IBlockDevice, for the host's own FAT32
// file layer. Same targets as the formatter's volume access (bare image, MBR disk image, block
// device), with buffered I/O and every transfer kept inside the volume.
#pragma once

#include <memory>

#include "platform/linux/host/drive_table.h"
#include "platform/linux/volume/block_device.h"
#include "platform/linux/volume/sysfs_block.h"

namespace tolven::linux_host {

enum class BlockDeviceAccess {
    kReadOnly,   // no claim: reading the label or free space never blocks a format
    kReadWrite,  // an exclusive claim, as the formatter takes: one writer of a volume at a time
};

// Null on failure, with errno in `error`.
std::unique_ptr<IBlockDevice> OpenVolumeBlockDevice(const DriveTarget& target, BlockDeviceAccess access,
                                                    int& error,
                                                    const std::filesystem::path& sysfsRoot = kSysfsRoot);

}  // namespace tolven::linux_host
