#include "content/system_file_table.h"

#include <span>

namespace tolven {
namespace {

struct SystemFile {
    const char16_t* name;
    uint16_t resourceId;
};

constexpr SystemFile kVq10Files[] = {
    {u"UNICODEF.FON", 137}, {u"FILEBR_M.JPG", 159}, {u"FILEBROW.JPG", 160},
    {u"HOMEBG.JPG", 161},   {u"HOMEBG_M.JPG", 162}, {u"INTRO.JPG", 163},
    {u"INTRO_M.JPG", 164},  {u"TEXTBG.JPG", 165},   {u"TEXTBG_M.JPG", 166},
};

constexpr SystemFile kVq20Vq30Files[] = {
    {u"UNICODEF.FON", 137}, {u"DABBG.JPG", 167}, {u"FILEBROW.JPG", 168},
    {u"HOMEBG.JPG", 169},   {u"INTRO.JPG", 170}, {u"TEXTBG.JPG", 171},
};

constexpr SystemFile kVq40Vq45Files[] = {
    {u"UNICODEF.FON", 137}, {u"FILEBROW.JPG", 172}, {u"INTRO.JPG", 173},
    {u"MAINBACK.JPG", 174}, {u"TEXTBG.JPG", 175},
};

std::span<const SystemFile> FilesOfModel(std::u16string_view modelCode) {
    if (modelCode == u"VQ10") {
        return kVq10Files;
    }
    if (modelCode == u"VQ20" || modelCode == u"VQ30") {
        return kVq20Vq30Files;
    }
    if (modelCode == u"VQ40" || modelCode == u"VQ45") {
        return kVq40Vq45Files;
    }
    return {};
}

// "%c" of an 8-bit format keeps the low 8 bits of the value; of a UTF-16 format, the low 16 bits.
char NarrowDriveLetter(int32_t drive) {
    return static_cast<char>(static_cast<uint8_t>(drive & 0xFF));
}
char16_t WideDriveLetter(int32_t drive) {
    return static_cast<char16_t>(drive & 0xFFFF);
}

}  // namespace

bool IsKnownPlayerModel(std::u16string_view modelCode) {
    return !FilesOfModel(modelCode).empty();
}

std::vector<std::string> PlayerFolderPaths(int32_t drive, std::u16string_view modelCode) {
    const std::string root = std::string(1, NarrowDriveLetter(drive)) + ":\\";
    std::vector<std::string> paths = {root + "SYSTEM", root + "MOVIE", root + "MUSIC", root + "PHOTO"};
    if (IsKnownPlayerModel(modelCode)) {
        paths.push_back(root + "TEXT");
    }
    return paths;
}

std::vector<SystemFileEntry> BuildSystemFileList(int32_t drive, std::u16string_view modelCode) {
    const std::u16string folder = std::u16string(1, WideDriveLetter(drive)) + u":\\SYSTEM\\";
    std::vector<SystemFileEntry> entries;
    for (const SystemFile& file : FilesOfModel(modelCode)) {
        entries.push_back({folder, file.resourceId, file.name});
    }
    return entries;
}

std::u16string SystemFilePath(const SystemFileEntry& entry) {
    return entry.folderPath + entry.fileName;
}

}  // namespace tolven
