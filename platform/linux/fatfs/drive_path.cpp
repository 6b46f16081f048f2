// Linux host, FAT32 file layer: splitting Windows paths.
#include "platform/linux/fatfs/drive_path.h"

#include "platform/linux/host/drive_table.h"

namespace tolven::linux_host {

namespace {
bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

FatStatus BadPath(std::string_view path, const char* why) {
    return FatStatus::Fail(FatError::kInvalidName, "invalid path \"" + std::string(path) + "\": " + why);
}
}  // namespace

FatStatus ParseDrivePath(std::string_view path, DrivePath& out) {
    out = DrivePath{};
    if (path.size() < 2 || path[1] != ':') {
        return BadPath(path, "it does not start with a drive letter and a colon");
    }
    const char letter = DriveLetterOf(static_cast<unsigned char>(path[0]));
    if (letter == 0) {
        return BadPath(path, "the drive letter is not A to Z");
    }
    out.letter = letter;
    std::string_view rest = path.substr(2);
    if (rest.empty()) {
        return FatStatus::Ok();
    }
    if (!IsSeparator(rest[0])) {
        return BadPath(path, "drive-relative paths are not supported");
    }
    rest.remove_prefix(1);
    while (!rest.empty()) {
        std::size_t end = 0;
        while (end < rest.size() && !IsSeparator(rest[end])) {
            ++end;
        }
        if (end == 0) {
            return BadPath(path, "it holds an empty name");
        }
        out.names.emplace_back(rest.substr(0, end));
        rest.remove_prefix(end < rest.size() ? end + 1 : end);
    }
    return FatStatus::Ok();
}

FatStatus ParseDrivePath(std::u16string_view path, DrivePath& out) {
    std::string narrow;
    narrow.reserve(path.size());
    for (const char16_t c : path) {
        if (c == 0 || c >= 0x80) {
            out = DrivePath{};
            return FatStatus::Fail(FatError::kInvalidName,
                                   "invalid path: only ASCII short names can be created on this volume");
        }
        narrow.push_back(static_cast<char>(c));
    }
    return ParseDrivePath(narrow, out);
}

}  // namespace tolven::linux_host
