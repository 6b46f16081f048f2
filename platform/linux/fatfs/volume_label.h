// Linux host: SetVolumeLabelA, carried out by the host's own FAT32 file layer.
#pragma once

#include <string_view>

#include "platform/linux/fatfs/fat_drive_access.h"

namespace tolven::linux_host {

// SetVolumeLabelA(rootPath "X:\", label): writes the root directory's label entry and the label
// field of the boot sector and its backup. Lower case is raised to upper case; an empty label
// removes it. `error`, when given, tells why it failed.
bool SetVolumeLabelA(const FatDriveAccess& access, std::string_view rootPath, std::string_view label,
                     FatStatus* error = nullptr);

}  // namespace tolven::linux_host
