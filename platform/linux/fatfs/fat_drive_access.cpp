// Linux host, FAT32 file layer: the run's mounts of the volumes behind drive letters.
#include "platform/linux/fatfs/fat_drive_access.h"

#include <cstring>
#include <string>

#include "platform/linux/volume/linux_clock.h"

namespace tolven::linux_host {

FatDriveAccess TargetDriveAccess(TargetTable& targets) {
    FatDriveAccess access;
    access.drives = &targets.Drives();
    access.openDevice = [&targets](const DriveTarget& target, bool writable,
                                   int& error) -> std::unique_ptr<IBlockDevice> {
        TargetOpen opened = targets.OpenPath(target.path);
        if (opened.target == nullptr) {
            error = opened.status.error;
            return nullptr;
        }
        return OpenVolumeBlockDevice(std::move(opened.target),
                                     writable ? BlockDeviceAccess::kReadWrite : BlockDeviceAccess::kReadOnly,
                                     error);
    };
    return access;
}

namespace {

// Whether a mount still stands for what the letter names now.
bool Current(const FatMounts::Mount& mount, const DriveTarget& target, FatIntent intent) {
    return mount.path == target.path && mount.device->ChangeCount() == mount.changeCount &&
           (mount.writable || intent == FatIntent::kRead);
}

FatStatus MountVolume(const FatDriveAccess& access, const DriveTarget& target, FatIntent intent,
                      FatMounts::Mount& mount) {
    // Writable whenever the target allows, so that a mount made for the panel serves the label
    // and the files as well; reading alone needs no claim, so a volume in use elsewhere is still read.
    mount.path = target.path;
    mount.writable = true;
    int error = 0;
    if (access.openDevice) {
        mount.device = access.openDevice(target, true, error);
        if (!mount.device && intent == FatIntent::kRead) {
            mount.writable = false;
            mount.device = access.openDevice(target, false, error);
        }
    }
    if (!mount.device) {
        std::string message = "cannot open " + target.path;
        if (error != 0) {
            message += ": ";
            message += std::strerror(error);
        }
        return FatStatus::Fail(FatError::kIo, message);
    }
    mount.changeCount = mount.device->ChangeCount();
    mount.volume =
        std::make_unique<Fat32Volume>(*mount.device, access.localTime ? access.localTime : HostLocalTime);
    FatStatus status = mount.volume->Open();
    if (!status.ok()) {
        status.message = target.path + ": " + status.message;
    }
    return status;
}

}  // namespace

FatStatus WithDriveVolume(const FatDriveAccess& access, char letter, FatIntent intent,
                          const std::function<FatStatus(Fat32Volume&)>& work) {
    const DriveTarget* target = access.drives ? access.drives->Find(letter) : nullptr;
    if (!target) {
        return FatStatus::Fail(FatError::kNotFound, std::string("no drive ") + letter + ":");
    }
    auto& mounts = access.mounts->byLetter;
    auto found = mounts.find(target->letter);
    if (found != mounts.end() && !Current(found->second, *target, intent)) {
        mounts.erase(found);
        found = mounts.end();
    }
    if (found == mounts.end()) {
        FatMounts::Mount mount;
        if (FatStatus status = MountVolume(access, *target, intent, mount); !status.ok()) {
            return status;
        }
        found = mounts.emplace(target->letter, std::move(mount)).first;
    }
    FatStatus status = work(*found->second.volume);
    // After a failed transfer, or changes that could not all be taken back, the mount's view of
    // the volume is not to be trusted: the next call mounts afresh.
    if (status.error == FatError::kIo || found->second.volume->Stale()) {
        mounts.erase(found);
    }
    return status;
}

}  // namespace tolven::linux_host
