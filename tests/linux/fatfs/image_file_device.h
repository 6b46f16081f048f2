// Linux tests: a disk image file as a block device, for the end-to-end tests of the FAT32 file
// layer against independent tools.
#pragma once

#include <memory>
#include <string>

#include "platform/linux/volume/block_device.h"

namespace tolven::testing {

// Null when the file cannot be opened for reading and writing.
std::unique_ptr<linux_host::IBlockDevice> OpenImageFile(const std::string& path);

}  // namespace tolven::testing
