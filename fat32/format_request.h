// What the Format command hands the formatter for one format.
#pragma once

#include <cstdint>

#include "ui/window_controls.h"

namespace tolven {

// The cluster size the Format command asks for whatever the volume's size: 64 sectors, 32,768
// bytes at 512-byte sectors. The Linux host checks a target against the same figure.
inline constexpr uint32_t kFormatSectorsPerCluster = 64;

struct FormatRequest {
    ILogControl* logControl = nullptr;            // receives every line the formatter writes
    IProgressControl* progressControl = nullptr;  // stepped while the structures are written
    char driveLetter = 0;                         // upper-case drive letter of the volume
    uint32_t sectorsPerCluster = 0;               // 0: chosen from the volume size
};

}  // namespace tolven
