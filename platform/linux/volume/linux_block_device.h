// Linux host: the volume of a drive letter's target as an IBlockDevice, for the host's own FAT32
// file layer. Same targets as the formatter's volume access (bare image, MBR disk image, block
// device), with buffered I/O and every transfer kept inside the volume.
#pragma once

#include <memory>

#include "fatfs/block_device.h"
#include "platform/linux/host/drive_table.h"
#include "platform/linux/volume/sysfs_block.h"
#include "platform/linux/volume/target_table.h"

namespace tolven::linux_host {

enum class BlockDeviceAccess {
    kReadOnly,   // no claim: reading the label or free space never blocks a format
    kReadWrite,  // the target's exclusive claim, as the formatter takes: one writer at a time
};

// Over the run's descriptor of `target`; the claim of a writer lasts as long as the device.
// Null on failure, with errno in `error`.
std::unique_ptr<IBlockDevice> OpenVolumeBlockDevice(std::shared_ptr<OpenTarget> target,
                                                    BlockDeviceAccess access, int& error,
                                                    const std::filesystem::path& sysfsRoot = kSysfsRoot);

// The same over a descriptor of its own, outside any run's table.
std::unique_ptr<IBlockDevice> OpenVolumeBlockDevice(const DriveTarget& target, BlockDeviceAccess access,
                                                    int& error,
                                                    const std::filesystem::path& sysfsRoot = kSysfsRoot);

}  // namespace tolven::linux_host
