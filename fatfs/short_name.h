// FAT32 file layer: 8.3 short names and volume labels as they are stored in a
// directory entry's 11-byte name field. This layer writes only upper-case short names.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "fat32/fat32_on_disk.h"
#include "fatfs/fat_status.h"

namespace tolven {

using ShortName = std::array<char, kShortNameBytes>;  // 8 name bytes and 3 extension bytes, blank padded

// "UNICODEF.FON" -> "UNICODEFFON". Refuses lower case, long names, "." and "..", and every
// character a short name may not hold.
FatStatus MakeShortName(std::string_view name, ShortName& out);

// A label as SetVolumeLabelA stores it on FAT: up to 11 characters, lower case raised to upper
// case, blank padded. An empty label means "no label".
FatStatus MakeVolumeLabel(std::string_view label, ShortName& out);

// The label as GetVolumeInformationW reports it: trailing blanks removed.
std::string LabelText(const ShortName& field);

}  // namespace tolven
