// Linux host, terminal: mapping the named targets (or the USB disks) to drive letters.
#include "platform/linux/terminal/named_targets.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>

#include "platform/linux/storage/usb_disk_discovery.h"
#include "platform/linux/terminal/image_files.h"
#include "platform/linux/volume/sysfs_block.h"
#include "platform/linux/volume/target_check.h"

namespace tolven::linux_host {

namespace {

// A named block device: identified as the USB disk it is (or belongs to, for a partition), so
// that the scan judges it as it judges a disk found on its own. Another disk reports no bus. A
// whole disk with an MBR stands for its partition 1; a table that must not be formatted over is
// recorded as the target's refusal.
DriveTarget BlockDeviceTarget(const std::string& path, std::vector<std::string>& notes) {
    DriveTarget target;
    const TableCheck table = CheckPartitionTable(path);
    target.path = table.path;
    target.refusal = table.refusal;
    if (!table.note.empty()) {
        notes.push_back(table.note);
    }
    target.driveType = kDriveFixed;
    struct stat st {};
    if (::stat(target.path.c_str(), &st) != 0) {
        return target;  // the open reports it
    }
    const auto info = ReadSysfsBlockInfo(kSysfsRoot, major(st.st_rdev), minor(st.st_rdev));
    std::error_code error;
    const std::string ownName = std::filesystem::canonical(target.path, error).filename().string();
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

struct NamedTarget {
    std::string path;
    bool isBlockDevice = false;
    bool create = false;
};

}  // namespace

Status AddTargets(const TerminalOptions& options, DriveTable& drives, CreatedImages& created,
                  std::vector<std::string>& notes) {
    if (options.targets.empty()) {
        AddUsbDisks(drives);
        return {};
    }
    // First every target is looked at: nothing is created for a command line that fails.
    const bool mayCreate = !options.listOnly && !options.dryRun;
    std::vector<NamedTarget> named;
    for (const std::string& path : options.targets) {
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0 && S_ISBLK(st.st_mode)) {
            if (options.sizeBytes) {
                return Status::Refusal("option '--size' applies to image files, not to the block device '" +
                                       path + "'");
            }
            named.push_back({path, true, false});
            continue;
        }
        const ImageFilePlan plan = PlanImageFile(path, options.sizeBytes, mayCreate);
        if (!plan.problem.ok()) {
            return plan.problem;
        }
        named.push_back({path, false, plan.create});
    }
    for (const NamedTarget& target : named) {
        if (target.create) {
            if (Status problem = created.Create(target.path, *options.sizeBytes); !problem.ok()) {
                return problem;
            }
        }
        const char letter =
            target.isBlockDevice
                ? drives.Add(BlockDeviceTarget(target.path, notes))
                : AddDiskImage(drives, target.path, DiskImageIdentity{options.vendor, options.product});
        if (letter == 0) {
            return Status::Refusal("too many targets: no drive letter left for '" + target.path + "'");
        }
    }
    return {};
}

}  // namespace tolven::linux_host
