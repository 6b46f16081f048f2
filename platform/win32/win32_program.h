// Win32 platform layer: the program's composition. The entry point chooses how drives are
// identified and opened (the system's calls, or the test build's stand-in player); everything
// else is the system's.
#pragma once

#include <windows.h>

#include "device/storage_identification.h"
#include "fat32/volume_access.h"

namespace tolven::win32 {

// Runs the application object with the Win32 host; returns the process exit code. A missing disk
// fails the call that meets it rather than raising the system's "no disk" box.
int RunTolvenFormat(HINSTANCE instance, IStorageIdentification& storage, IVolumeSystem& volumes);

}  // namespace tolven::win32
