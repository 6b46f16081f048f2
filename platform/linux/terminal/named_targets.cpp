// Linux host, terminal: mapping the named targets (or the USB disks) to drive letters.
#include "platform/linux/terminal/named_targets.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>

#include "platform/linux/storage/usb_disk_discovery.h"
#include "platform/linux/terminal/image_files.h"
#include "platform/linux/volume/sysfs_block.h"

namespace tolven::linux_host {

namespace {

// A named block device: identified as the USB disk it is (or belongs to, for a partition), so
// that the scan judges it as it judges a disk found on its own. Another disk reports no bus.
DriveTarget BlockDeviceTarget(const std::string& path, const struct stat& st) {
    DriveTarget target;
    target.path = path;
    target.driveType = kDriveFixed;
    const auto info = ReadSysfsBlockInfo(kSysfsRoot, major(st.st_rdev), minor(st.st_rdev));
    std::error_code error;
    const std::string ownName = std::filesystem::canonical(path, error).filename().string();
    const std::string diskName = info && info->isPartition ? info->parentName : ownName;
    for (const UsbDisk& disk : FindUsbDisks()) {
        if (disk.name == diskName) {
            target.driveType = disk.driveType;
            target.busType = kBusTypeUsb;
            target.vendorId = disk.vendorId;
            target.productId = disk.productId;
        }
    }
    return target;
}

}  // namespace

std::string AddTargets(const TerminalOptions& options, DriveTable& drives) {
    if (options.targets.empty()) {
        AddUsbDisks(drives);
        return {};
    }
    const bool mayCreate = !options.listOnly && !options.dryRun;
    for (const std::string& path : options.targets) {
        struct stat st {};
        char letter = 0;
        if (::stat(path.c_str(), &st) == 0 && S_ISBLK(st.st_mode)) {
            if (options.sizeBytes) {
                return "option '--size' applies to image files, not to the block device '" + path + "'";
            }
            letter = drives.Add(BlockDeviceTarget(path, st));
        } else {
            const std::string problem = PrepareImageFile(path, options.sizeBytes, mayCreate);
            if (!problem.empty()) {
                return problem;
            }
            letter = AddDiskImage(drives, path, DiskImageIdentity{options.vendor, options.product});
        }
        if (letter == 0) {
            return "too many targets: no drive letter left for '" + path + "'";
        }
    }
    return {};
}

}  // namespace tolven::linux_host
