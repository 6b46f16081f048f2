#include "tests/linux/fatfs/image_drive_access.h"

#include "platform/linux/volume/linux_block_device.h"

namespace tolven::testing {

linux_host::FatDriveAccess ImageDriveAccess(const linux_host::DriveTable& drives) {
    linux_host::FatDriveAccess access;
    access.drives = &drives;
    access.openDevice = [](const linux_host::DriveTarget& target, bool writable, int& error) {
        return linux_host::OpenVolumeBlockDevice(
            target,
            writable ? linux_host::BlockDeviceAccess::kReadWrite : linux_host::BlockDeviceAccess::kReadOnly,
            error);
    };
    return access;
}

}  // namespace tolven::testing
