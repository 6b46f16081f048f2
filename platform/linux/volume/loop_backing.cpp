// Linux host: the file behind a loop device, found through LOOP_GET_STATUS64 and sysfs.
#include "platform/linux/volume/loop_backing.h"

#include <linux/loop.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace tolven::linux_host {

std::optional<LoopBacking> ReadLoopBacking(int fd, const std::filesystem::path& sysfsRoot) {
    struct stat st {};
    loop_info64 info{};
    if (::fstat(fd, &st) != 0 || !S_ISBLK(st.st_mode) || ::ioctl(fd, LOOP_GET_STATUS64, &info) != 0) {
        return std::nullopt;
    }
    const auto path = ReadSysfsAttribute(SysfsDeviceLink(sysfsRoot, major(st.st_rdev), minor(st.st_rdev)) /
                                         "loop" / "backing_file");
    if (!path || path->empty()) {
        return std::nullopt;
    }
    return LoopBacking{*path, info.lo_device, info.lo_inode, info.lo_offset};
}

std::optional<uint64_t> LoopBackingLength(const LoopBacking& backing) {
    struct stat st {};
    if (::stat(backing.path.c_str(), &st) != 0 || st.st_dev != backing.device || st.st_ino != backing.inode) {
        return std::nullopt;  // renamed or removed: nothing is known
    }
    const auto size = static_cast<uint64_t>(st.st_size);
    return size > backing.offset ? size - backing.offset : 0;
}

}  // namespace tolven::linux_host
