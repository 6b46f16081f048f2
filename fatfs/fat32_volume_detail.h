// FAT32 file layer: what the parts of Fat32Volume (its operations, its directory
// walking and its cluster handling, each in its own file) share.
#pragma once

#include <cstdint>
#include <string>

#include "fatfs/fat_status.h"
#include "fatfs/short_name.h"

namespace tolven::volume_detail {

inline FatStatus IoFailure(const std::string& what) {
    return FatStatus::Fail(FatError::kIo, "cannot " + what);
}

inline FatStatus Damaged(const std::string& what) {
    return FatStatus::Fail(FatError::kInconsistent, "damaged FAT32 volume: " + what);
}

// "UNICODEFFON" -> "UNICODEF.FON", for messages.
inline std::string NameText(const ShortName& name) {
    std::string base(name.begin(), name.begin() + 8);
    std::string extension(name.begin() + 8, name.end());
    base.erase(base.find_last_not_of(' ') + 1);
    extension.erase(extension.find_last_not_of(' ') + 1);
    return extension.empty() ? base : base + "." + extension;
}

}  // namespace tolven::volume_detail
