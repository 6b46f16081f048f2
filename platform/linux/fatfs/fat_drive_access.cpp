// Linux host, FAT32 file layer: opening the volume behind a drive letter.
#include "platform/linux/fatfs/fat_drive_access.h"

#include <string>

#include "platform/linux/volume/linux_clock.h"

namespace tolven::linux_host {

FatDriveAccess TargetDriveAccess(TargetTable& targets, BlockDeviceAccess access) {
    FatDriveAccess drives;
    drives.drives = &targets.Drives();
    drives.openDevice = [&targets, access](const DriveTarget& target) -> std::unique_ptr<IBlockDevice> {
        TargetOpen opened = targets.OpenPath(target.path);
        if (opened.target == nullptr) {
            return nullptr;
        }
        int error = 0;
        return OpenVolumeBlockDevice(std::move(opened.target), access, error);
    };
    return drives;
}

FatStatus OpenDriveVolume(const FatDriveAccess& access, char letter, OpenedFatVolume& out) {
    out = OpenedFatVolume{};
    const DriveTarget* target = access.drives ? access.drives->Find(letter) : nullptr;
    if (!target) {
        return FatStatus::Fail(FatError::kNotFound, std::string("no drive ") + letter + ":");
    }
    if (access.openDevice) {
        out.device = access.openDevice(*target);
    }
    if (!out.device) {
        return FatStatus::Fail(FatError::kIo, "cannot open " + target->path);
    }
    out.volume =
        std::make_unique<Fat32Volume>(*out.device, access.localTime ? access.localTime : HostLocalTime);
    FatStatus status = out.volume->Open();
    if (!status.ok()) {
        status.message = target->path + ": " + status.message;
        out = OpenedFatVolume{};
    }
    return status;
}

}  // namespace tolven::linux_host
