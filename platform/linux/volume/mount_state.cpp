// Linux host: mounts of a target, through sysfs (partitions, loop backing files) and libmount.
#include "platform/linux/volume/mount_state.h"

#include <libmount/libmount.h>
#include <sys/sysmacros.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <system_error>

namespace tolven::linux_host {

namespace {

std::string ReadAttribute(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

// The device and, for a whole disk, its partitions: the subfolders of its sysfs folder that carry
// a "partition" attribute.
void AddWithPartitions(const std::filesystem::path& deviceFolder, BlockNumber device,
                       std::vector<BlockNumber>& out) {
    out.push_back(device);
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(deviceFolder, error)) {
        BlockNumber partition;
        if (std::filesystem::exists(entry.path() / "partition", error) &&
            ParseDeviceNumber(ReadAttribute(entry.path() / "dev"), partition.major, partition.minor)) {
            out.push_back(partition);
        }
    }
}

}  // namespace

std::vector<BlockNumber> DevicesOfBlockDevice(BlockNumber device, const std::filesystem::path& sysfsRoot) {
    std::vector<BlockNumber> devices;
    AddWithPartitions(
        sysfsRoot / "dev" / "block" / (std::to_string(device.major) + ":" + std::to_string(device.minor)),
        device, devices);
    return devices;
}

std::vector<BlockNumber> DevicesOfImageFile(const std::filesystem::path& image,
                                            const std::filesystem::path& sysfsRoot) {
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(image, error);
    std::vector<BlockNumber> devices;
    for (const auto& entry : std::filesystem::directory_iterator(sysfsRoot / "block", error)) {
        const std::string backing = ReadAttribute(entry.path() / "loop" / "backing_file");
        BlockNumber loop;
        if (!backing.empty() && backing == canonical.string() &&
            ParseDeviceNumber(ReadAttribute(entry.path() / "dev"), loop.major, loop.minor)) {
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
