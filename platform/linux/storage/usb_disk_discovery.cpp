// Linux host: sysfs walking (POSIX file system only; no device is opened here).
#include "platform/linux/storage/usb_disk_discovery.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <system_error>

#include "platform/linux/volume/target_check.h"

namespace tolven::linux_host {

namespace fs = std::filesystem;

namespace {

// The first line of a sysfs attribute, without its line end; nullopt when it cannot be read.
std::optional<std::string> ReadAttribute(const fs::path& file) {
    std::ifstream in(file);
    if (!in) {
        return std::nullopt;
    }
    std::string line;
    std::getline(in, line);
    return line;
}

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

struct FirstPartition {
    std::string name;  // the partition with the lowest number; empty when the disk has none
    long number = 0;
};

FirstPartition FindFirstPartition(const fs::path& diskDir) {
    FirstPartition first;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(diskDir, error)) {
        const std::optional<std::string> number = ReadAttribute(entry.path() / "partition");
        if (!number) {
            continue;
        }
        char* end = nullptr;
        const long value = std::strtol(number->c_str(), &end, 10);
        if (end == number->c_str() || value <= 0) {
            continue;
        }
        if (first.name.empty() || value < first.number) {
            first = {entry.path().filename().string(), value};
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
        if (ReadAttribute(diskDir / "size") == "0") {
            continue;  // no medium
        }
        UsbDisk disk;
        disk.name = name;
        // Only partition 1 is ever a player's volume: another partition is left alone.
        const FirstPartition first = FindFirstPartition(diskDir);
        disk.devicePath = (devRoot / (first.number == 1 ? first.name : name)).string();
        if (!first.name.empty() && first.number != 1) {
            disk.refusal = "'" + disk.devicePath +
                           "' holds a partition table; partition 1 is empty; partition " +
                           std::to_string(first.number) +
                           " holds data: repartition the disk, or name the partition itself";
        }
        disk.driveType = ReadAttribute(diskDir / "removable") == "1" ? kDriveRemovable : kDriveFixed;
        disk.vendorId = ReadAttribute(diskDir / "device" / "vendor").value_or("");
        disk.productId = ReadAttribute(diskDir / "device" / "model").value_or("");
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
            target.refusal = check.refusal.empty() ? "" : "'" + check.path + "' " + check.refusal;
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
