// Linux host: refusing partition tables, and finding a whole disk's first partition, up front.
#include "platform/linux/volume/target_check.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/linux/volume/posix_file.h"
#include "platform/linux/volume/target_layout.h"

namespace tolven::linux_host {

namespace {

namespace fs = std::filesystem;

// The device node of the disk's partition 1, checked against the number sysfs gives it.
std::string FirstPartitionNode(const fs::path& sysfsRoot, const fs::path& devRoot, dev_t disk) {
    for (const SysfsPartition& partition :
         ListSysfsPartitions(SysfsDeviceLink(sysfsRoot, major(disk), minor(disk)))) {
        if (partition.number != 1) {
            continue;
        }
        const fs::path node = devRoot / partition.name;
        struct stat st {};
        if (!partition.hasDeviceNumber || ::stat(node.c_str(), &st) != 0 || !S_ISBLK(st.st_mode) ||
            st.st_rdev != makedev(partition.major, partition.minor)) {
            return {};
        }
        return node.string();
    }
    return {};
}

int Layout(int fd, TargetLayout& layout) {
    uint64_t length = 0;
    if (const int error = DescriptorLength(fd, length)) {
        return error;
    }
    return ProbeTargetLayout(fd, length, layout);
}

// Why partition `info` may not be formatted, judged by its parent disk's table with the rules a
// whole disk is judged by: only partition 1 of a sound MBR is a player's volume.
std::string ParentTableRefusal(const SysfsBlockInfo& info, const fs::path& devRoot) {
    const fs::path disk = devRoot / info.parentName;
    const std::string partOf = "is a partition of " + disk.string();
    UniqueFd fd;
    const int raw = ::open(disk.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (raw < 0) {
        return partOf + ", whose partition table cannot be read: " + std::strerror(errno);
    }
    fd.Reset(raw);
    struct stat st {};
    if (::fstat(raw, &st) != 0 || !S_ISBLK(st.st_mode) ||
        st.st_rdev != makedev(info.parentMajor, info.parentMinor)) {
        return partOf + ", but that node is not the partition's disk";
    }
    TargetLayout layout;
    if (const int error = Layout(raw, layout)) {
        return partOf + ", whose partition table cannot be read: " + std::strerror(error);
    }
    switch (layout.kind) {
        case TargetLayoutKind::kRefused:
            return partOf + ", which " + layout.refusal;
        case TargetLayoutKind::kBareVolume:
            return partOf + ", which holds no partition table the player uses";
        case TargetLayoutKind::kFirstPartition:
            break;
    }
    if (info.partitionNumber != 1 || layout.partition.start != info.start) {
        return "is partition " + std::to_string(info.partitionNumber) + " of " + disk.string() +
               "; only partition 1 of " + DescribeTableType("dos") + " is the player's volume";
    }
    return {};
}

}  // namespace

TableCheck CheckPartitionTable(const std::string& path, const fs::path& sysfsRoot, const fs::path& devRoot) {
    TableCheck check;
    check.path = path;
    const auto refuse = [&check, &path](const std::string& why) {
        check.refusal = Status::Refusal("'" + path + "' " + why);
        return check;
    };
    UniqueFd fd;
    const int raw = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (raw < 0) {
        return check;
    }
    fd.Reset(raw);
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0 || !(S_ISREG(st.st_mode) || S_ISBLK(st.st_mode))) {
        return check;
    }
    TargetLayout layout;
    if (Layout(fd.Get(), layout) != 0) {
        return check;  // unreadable: the open for the format reports it
    }
    check.probed = true;
    if (S_ISREG(st.st_mode)) {
        return layout.kind == TargetLayoutKind::kRefused ? refuse(layout.refusal) : check;
    }
    const auto info = ReadSysfsBlockInfo(sysfsRoot, major(st.st_rdev), minor(st.st_rdev));
    if (layout.kind == TargetLayoutKind::kBareVolume) {
        const std::string parent = info && info->isPartition ? ParentTableRefusal(*info, devRoot) : "";
        return parent.empty() ? check : refuse(parent);
    }
    if (info && info->isPartition) {
        return refuse((layout.kind == TargetLayoutKind::kRefused ? layout.refusal
                                                                 : "holds " + DescribeTableType("dos")) +
                      "; a partition that holds a partition table is not formatted: name the disk's "
                      "partition that is meant");
    }
    if (layout.kind == TargetLayoutKind::kRefused) {
        return refuse(layout.refusal);
    }
    const std::string node = FirstPartitionNode(sysfsRoot, devRoot, st.st_rdev);
    if (node.empty()) {
        return refuse("holds " + DescribeTableType("dos") +
                      ", but the system shows no device for its partition 1: have the kernel read the "
                      "table (partx -a), or name the partition itself");
    }
    TableCheck partition = CheckPartitionTable(node, sysfsRoot, devRoot);  // it must hold no table itself
    partition.probed = true;  // the disk decided, whether or not the partition reads
    partition.note = "using " + node + ", the first partition of " + path;
    return partition;
}

std::string TableRefusalOf(int fd) {
    TargetLayout layout;
    if (Layout(fd, layout) != 0) {
        return {};
    }
    switch (layout.kind) {
        case TargetLayoutKind::kRefused:
            return layout.refusal;
        case TargetLayoutKind::kFirstPartition:
            return "holds " + DescribeTableType("dos") + ": name its partition 1, not the whole disk";
        case TargetLayoutKind::kBareVolume:
            break;
    }
    return {};
}

}  // namespace tolven::linux_host
