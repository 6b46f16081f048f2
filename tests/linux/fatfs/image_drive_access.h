// Test helper: the FAT32 file layer's drive access over the host's own volume access, wired as
// the terminal program wires it, for tests on real disk images.
#pragma once

#include "platform/linux/fatfs/fat_drive_access.h"
#include "platform/linux/host/drive_table.h"

namespace tolven::testing {

// Opens the drives of `drives` (which must outlive the result) for reading and writing.
linux_host::FatDriveAccess ImageDriveAccess(const linux_host::DriveTable& drives);

}  // namespace tolven::testing
