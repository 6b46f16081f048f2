// Linux host: mounts of a target, through sysfs (partitions, loop backing files) and libmount.
#include "platform/linux/volume/mount_state.h"

#include <libmount/libmount.h>
#include <sys/sysmacros.h>

#include <memory>
#include <system_error>

namespace tolven::linux_host {

namespace {

// The device and, for a whole disk, its partitions.
void AddWithPartitions(const std::filesystem::path& deviceFolder, BlockNumber device,
                       std::vector<BlockNumber>& out) {
    out.push_back(device);
    for (const SysfsPartition& partition : ListSysfsPartitions(deviceFolder)) {
        if (partition.hasDeviceNumber) {
            out.push_back(BlockNumber{partition.major, partition.minor});
        }
    }
}

}  // namespace

std::vector<BlockNumber> DevicesOfBlockDevice(BlockNumber device, const std::filesystem::path& sysfsRoot) {
    std::vector<BlockNumber> devices;
    AddWithPartitions(SysfsDeviceLink(sysfsRoot, device.major, device.minor), device, devices);
    return devices;
}

std::vector<BlockNumber> DevicesOfImageFile(const std::filesystem::path& image,
                                            const std::filesystem::path& sysfsRoot) {
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(image, error);
    std::vector<BlockNumber> devices;
    for (const auto& entry : std::filesystem::directory_iterator(sysfsRoot / "block", error)) {
        const std::string backing = ReadSysfsAttribute(entry.path() / "loop" / "backing_file").value_or("");
        BlockNumber loop;
        if (!backing.empty() && backing == canonical.string() &&
            ParseDeviceNumber(ReadSysfsAttribute(entry.path() / "dev").value_or(""), loop.major,
                              loop.minor)) {
            AddWithPartitions(entry.path(), loop, devices);
        }
    }
    return devices;
}

std::vector<MountedFileSystem> FindMounts(const std::vector<BlockNumber>& devices,
                                          const std::string& mountInfo) {
    std::vector<MountedFileSystem> mounts;
    if (devices.empty()) {
        return mounts;
    }
    const std::unique_ptr<libmnt_table, decltype(&mnt_unref_table)> table(
        mnt_new_table_from_file(mountInfo.c_str()), &mnt_unref_table);
    if (!table) {
        return mounts;
    }
    const std::unique_ptr<libmnt_iter, decltype(&mnt_free_iter)> iterator(mnt_new_iter(MNT_ITER_FORWARD),
                                                                          &mnt_free_iter);
    libmnt_fs* fs = nullptr;
    while (iterator && mnt_table_next_fs(table.get(), iterator.get(), &fs) == 0) {
        const dev_t number = mnt_fs_get_devno(fs);
        const BlockNumber mounted{major(number), minor(number)};
        for (const BlockNumber& device : devices) {
            if (number != 0 && mounted == device) {
                const char* source = mnt_fs_get_source(fs);
                const char* target = mnt_fs_get_target(fs);
                mounts.push_back(MountedFileSystem{source ? source : "", target ? target : ""});
            }
        }
    }
    return mounts;
}

}  // namespace tolven::linux_host
