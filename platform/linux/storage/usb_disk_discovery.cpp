// Linux host: the USB disks sysfs shows; a found disk that can be read has its partition table checked.
#include "platform/linux/storage/usb_disk_discovery.h"

#include <algorithm>
#include <optional>
#include <system_error>

#include "platform/linux/volume/sysfs_block.h"
#include "platform/linux/volume/target_check.h"
#include "platform/linux/volume/target_layout.h"

namespace tolven::linux_host {

namespace fs = std::filesystem;

namespace {

// True when a directory on the way from the disk up to the device tree's root belongs to the USB
// subsystem (the USB device and its interface both do).
bool SitsOnUsb(const fs::path& diskDir, const fs::path& devicesRoot) {
    const fs::path inside = diskDir.lexically_relative(devicesRoot);
    if (inside.empty() || *inside.begin() == "..") {
        return false;  // not in the device tree at all
    }
    std::error_code error;
    for (fs::path dir = diskDir; dir != devicesRoot; dir = dir.parent_path()) {
        const fs::path subsystem = dir / "subsystem";
        if (fs::is_symlink(subsystem, error) && fs::read_symlink(subsystem, error).filename() == "usb") {
            return true;
        }
    }
    return false;
}

// The partition with the lowest number; null when the disk has none.
std::optional<SysfsPartition> FirstPartition(const fs::path& diskDir) {
    std::optional<SysfsPartition> first;
    for (SysfsPartition& partition : ListSysfsPartitions(diskDir)) {
        if (!first || partition.number < first->number) {
            first = std::move(partition);
        }
    }
    return first;
}

bool KernelNameOrder(const std::string& a, const std::string& b) {
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

}  // namespace

std::vector<UsbDisk> FindUsbDisks(const fs::path& sysfsRoot, const fs::path& devRoot) {
    std::vector<std::string> names;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(sysfsRoot / "block", error)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end(), KernelNameOrder);

    const fs::path devicesRoot = fs::weakly_canonical(sysfsRoot / "devices", error);
    std::vector<UsbDisk> disks;
    for (const std::string& name : names) {
        const fs::path diskDir = fs::canonical(sysfsRoot / "block" / name, error);
        if (error || !SitsOnUsb(diskDir, devicesRoot)) {
            continue;
        }
        if (ReadSysfsAttribute(diskDir / "size") == "0") {
            continue;  // no medium
        }
        UsbDisk disk;
        disk.name = name;
        // Only partition 1 is ever a player's volume: another partition is left alone.
        const std::optional<SysfsPartition> first = FirstPartition(diskDir);
        disk.devicePath = (devRoot / (first && first->number == 1 ? first->name : name)).string();
        if (first && first->number != 1) {
            disk.refusal = Status::Refusal("'" + disk.devicePath + "' holds a partition table; " +
                                           EmptyFirstPartition(first->number));
        }
        disk.driveType = ReadSysfsAttribute(diskDir / "removable") == "1" ? kDriveRemovable : kDriveFixed;
        disk.vendorId = ReadSysfsAttribute(diskDir / "device" / "vendor").value_or("");
        disk.productId = ReadSysfsAttribute(diskDir / "device" / "model").value_or("");
        disks.push_back(std::move(disk));
    }
    return disks;
}

std::size_t AddUsbDisks(DriveTable& table, const fs::path& sysfsRoot, const fs::path& devRoot) {
    std::size_t added = 0;
    for (UsbDisk& disk : FindUsbDisks(sysfsRoot, devRoot)) {
        DriveTarget target;
        target.path = std::move(disk.devicePath);
        target.refusal = std::move(disk.refusal);
        const TableCheck check = CheckPartitionTable((devRoot / disk.name).string(), sysfsRoot, devRoot);
        if (check.probed) {
            target.path = check.path;
            target.refusal = check.refusal;
        }
        target.driveType = disk.driveType;
        target.busType = kBusTypeUsb;
        target.vendorId = std::move(disk.vendorId);
        target.productId = std::move(disk.productId);
        if (table.Add(std::move(target)) == 0) {
            break;
        }
        ++added;
    }
    return added;
}

char AddDiskImage(DriveTable& table, const std::string& imagePath, const DiskImageIdentity& identity) {
    DriveTarget target;
    target.path = imagePath;
    target.isImage = true;
    target.driveType = identity.driveType;
    target.busType = kBusTypeUsb;
    target.vendorId = identity.vendorId;
    target.productId = identity.productId;
    return table.Add(std::move(target));
}

}  // namespace tolven::linux_host
