// Linux host: setting the label of a FAT32 volume behind a drive letter.
#include "platform/linux/fatfs/volume_label.h"

#include "platform/linux/fatfs/drive_path.h"

namespace tolven::linux_host {

namespace {
FatStatus SetLabel(const FatDriveAccess& access, std::string_view rootPath, std::string_view label) {
    DrivePath path;
    if (FatStatus status = ParseDrivePath(rootPath, path); !status.ok()) {
        return status;
    }
    if (!path.names.empty()) {
        return FatStatus::Fail(FatError::kInvalidName, "not a root path: \"" + std::string(rootPath) + "\"");
    }
    return WithDriveVolume(access, path.letter, FatIntent::kWrite,
                           [label](Fat32Volume& volume) { return volume.SetLabel(label); });
}
}  // namespace

bool SetVolumeLabelA(const FatDriveAccess& access, std::string_view rootPath, std::string_view label,
                     FatStatus* error) {
    FatStatus status = SetLabel(access, rootPath, label);
    const bool ok = status.ok();
    if (error) {
        *error = std::move(status);
    }
    return ok;
}

}  // namespace tolven::linux_host
