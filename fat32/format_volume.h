// The formatter's one entry point.
#pragma once

#include "fat32/format_request.h"
#include "fat32/volume_access.h"

namespace tolven {

// Formats the volume of request.driveLetter as FAT32 (a quick format: system area and root
// cluster only). Writes its lines to the status log and returns true only on success.
bool FormatVolumeFat32(const FormatRequest& request, const FormatPlatform& platform);

}  // namespace tolven
