// Linux host, FAT32 file layer: Windows paths ("E:\", "E:\SYSTEM", u"E:\SYSTEM\INTRO.JPG") split
// into the drive letter and the names below the root.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "fatfs/fat_status.h"

namespace tolven::linux_host {

struct DrivePath {
    char letter = 0;                 // upper case
    std::vector<std::string> names;  // empty for the root
};

// "X:" or "X:\" followed by names separated by '\' (or '/'); one trailing separator is allowed.
// Empty names and, in the UTF-16 form, characters outside ASCII are refused.
FatStatus ParseDrivePath(std::string_view path, DrivePath& out);
FatStatus ParseDrivePath(std::u16string_view path, DrivePath& out);

}  // namespace tolven::linux_host
