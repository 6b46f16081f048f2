// The player's folder layout and, per model, the system files written into its SYSTEM folder, each
// filled from one content block.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tolven {

struct SystemFileEntry {
    std::u16string folderPath;  // "%c:\SYSTEM\" with the drive letter
    uint16_t resourceId = 0;    // the content block that makes up the file
    std::u16string fileName;
};

// True for the five model codes "VQ10", "VQ20", "VQ30", "VQ40", "VQ45", compared whole, exactly
// and case-sensitively.
bool IsKnownPlayerModel(std::u16string_view modelCode);

// The folders to create, in order: SYSTEM, MOVIE, MUSIC, PHOTO and, for a known model, TEXT.
// `drive` is the drive value; its low 8 bits are the letter, as "%c" gives it.
std::vector<std::string> PlayerFolderPaths(int32_t drive, std::u16string_view modelCode);

// The model's system files in the order they are written; empty for an unknown model.
std::vector<SystemFileEntry> BuildSystemFileList(int32_t drive, std::u16string_view modelCode);

// The folder path followed directly by the file name, e.g. "E:\SYSTEM\UNICODEF.FON".
std::u16string SystemFilePath(const SystemFileEntry& entry);

}  // namespace tolven
