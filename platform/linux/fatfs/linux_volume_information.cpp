// Linux host: label and space of a FAT32 volume behind a drive letter.
#include "platform/linux/fatfs/linux_volume_information.h"

#include <string>
#include <utility>

#include "platform/linux/fatfs/drive_path.h"

namespace tolven::linux_host {

LinuxVolumeInformation::LinuxVolumeInformation(FatDriveAccess access) : access_(std::move(access)) {}

bool LinuxVolumeInformation::Report(FatStatus status) {
    lastError_ = std::move(status);
    return lastError_.ok();
}

bool LinuxVolumeInformation::ReadRoot(std::u16string_view rootPath,
                                      const std::function<FatStatus(Fat32Volume&)>& work) {
    DrivePath path;
    if (FatStatus status = ParseDrivePath(rootPath, path); !status.ok()) {
        return Report(std::move(status));
    }
    if (!path.names.empty()) {
        return Report(
            FatStatus::Fail(FatError::kInvalidName, "not a root path: \"" + path.names[0] + "\" follows"));
    }
    return Report(WithDriveVolume(access_, path.letter, FatIntent::kRead, work));
}

bool LinuxVolumeInformation::GetVolumeInformationW(std::u16string_view rootPath, char16_t* label,
                                                   uint32_t capacity) {
    std::string text;
    if (!ReadRoot(rootPath, [&](Fat32Volume& volume) { return volume.ReadLabel(text); })) {
        return false;
    }
    if (label == nullptr) {
        return true;
    }
    if (text.size() + 1 > capacity) {
        return Report(FatStatus::Fail(
            FatError::kInvalidArgument,
            "the label \"" + text + "\" does not fit " + std::to_string(capacity) + " characters"));
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        label[i] = byte < 0x80 ? static_cast<char16_t>(byte) : u'\uFFFD';
    }
    label[text.size()] = u'\0';
    return true;
}

bool LinuxVolumeInformation::GetDiskFreeSpaceExW(std::u16string_view rootPath, uint64_t& totalBytes,
                                                 uint64_t& totalFreeBytes) {
    return ReadRoot(rootPath, [&](Fat32Volume& volume) {
        uint64_t freeBytes = 0;
        FatStatus status = volume.FreeBytes(freeBytes);
        if (status.ok()) {
            totalBytes = volume.TotalBytes();
            totalFreeBytes = freeBytes;
        }
        return status;
    });
}

}  // namespace tolven::linux_host
