// Linux host: the placement of a target's volume (geometry, partition placement) and rewriting
// the partition type in the table that holds the volume.
#include "platform/linux/volume/volume_placement.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <linux/hdreg.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <span>

#include "platform/linux/volume/disk_probe.h"
#include "platform/linux/volume/image_layout.h"
#include "platform/linux/volume/target_layout.h"

namespace tolven::linux_host {

namespace {

// What a disk without a geometry of its own reports, as on Windows for images and large disks.
constexpr uint32_t kDefaultHeads = 255;
constexpr uint32_t kDefaultSectorsPerTrack = 63;

// The entry of sector 0 that describes the partition starting at `start`: the entry of its number
// when that matches, else any used entry with that start. -1 when there is none.
int FindTableEntry(std::span<const std::byte> sector0, uint32_t partitionNumber, uint32_t start) {
    if (partitionNumber >= 1 && partitionNumber <= kMbrEntryCount) {
        const MbrEntry entry = ReadMbrEntry(sector0, static_cast<int>(partitionNumber) - 1);
        if (entry.type != 0 && entry.startLba == start) {
            return static_cast<int>(partitionNumber) - 1;
        }
    }
    for (int i = 0; i < kMbrEntryCount; ++i) {
        const MbrEntry entry = ReadMbrEntry(sector0, i);
        if (entry.type != 0 && entry.startLba == start) {
            return i;
        }
    }
    return -1;
}

bool HasTableSignature(std::span<const std::byte> sector0) {
    return std::to_integer<uint8_t>(sector0[510]) == 0x55 && std::to_integer<uint8_t>(sector0[511]) == 0xAA;
}

// The disk node that holds a partition's table, checked to be that disk (st_rdev).
int OpenTableDisk(const VolumePlacement& placement, int flags, UniqueFd& fd) {
    const int raw = ::open(placement.tablePath.c_str(), flags | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (raw < 0) {
        return errno;
    }
    fd.Reset(raw);
    struct stat st {};
    if (::fstat(raw, &st) != 0) {
        return errno;
    }
    if (!S_ISBLK(st.st_mode) || st.st_rdev != placement.tableDevice) {
        fd.Reset();
        return ESTALE;
    }
    const int status = ::fcntl(raw, F_GETFL);
    if (status < 0 || ::fcntl(raw, F_SETFL, status & ~O_NONBLOCK) != 0) {
        return errno;
    }
    return 0;
}

// Reads the table's entry for the partition in sector 0 of `fd`, for the type and boot flag it
// reports. Best effort: a table that cannot be read now is read again, and reported, when the
// type is rewritten. The sector is read aligned and buffered, for a descriptor under O_DIRECT.
void ReadTableEntry(int fd, VolumePlacement& placement) {
    AlignedBuffer sector = MakeAlignedBuffer(kImageSectorSize);
    std::size_t got = 0;
    const ScopedBufferedIo buffered(fd);
    if (ReadFully(fd, sector.get(), kImageSectorSize, 0, got) != 0 || got != kImageSectorSize) {
        return;
    }
    const std::span<const std::byte> sector0(sector.get(), kImageSectorSize);
    if (!HasTableSignature(sector0)) {
        return;
    }
    const int index = FindTableEntry(sector0, placement.partitionNumber, placement.tableEntryStart);
    if (index >= 0) {
        const MbrEntry entry = ReadMbrEntry(sector0, index);
        placement.partitionType = entry.type;
        placement.bootIndicator = entry.bootIndicator == 0x80;
    }
}

int ReadImagePlacement(OpenTarget& target, VolumePlacement& placement) {
    struct stat st {};
    if (::fstat(target.Fd(), &st) != 0) {
        return errno;
    }
    const uint64_t fileSize = static_cast<uint64_t>(st.st_size);
    TargetLayout layout;
    if (const int error = ProbeTargetLayout(target.Fd(), fileSize, layout)) {
        return error;
    }

    placement.sectorSize = kImageSectorSize;
    placement.heads = kDefaultHeads;
    placement.sectorsPerTrack = kDefaultSectorsPerTrack;
    placement.diskLength = fileSize;
    switch (layout.kind) {
        case TargetLayoutKind::kRefused:
            return EMEDIUMTYPE;
        case TargetLayoutKind::kBareVolume:
            placement.volumeLength = fileSize;
            return 0;
        case TargetLayoutKind::kFirstPartition:
            break;
    }
    // A sane table: the partition lies inside the file, and 32-bit entries keep it below 2 TiB.
    const ProbedPartition& partition = layout.partition;
    placement.volumeOffset = partition.start * kImageSectorSize;
    placement.volumeLength = partition.size * kImageSectorSize;
    placement.hiddenSectors = static_cast<uint32_t>(partition.start);
    placement.hasTableEntry = true;
    placement.partitionNumber = 1;
    placement.tableEntryStart = static_cast<uint32_t>(partition.start);
    ReadTableEntry(target.Fd(), placement);
    return 0;
}

int ReadBlockDevicePlacement(OpenTarget& target, const std::filesystem::path& sysfsRoot,
                             VolumePlacement& placement) {
    const int fd = target.Fd();
    int sectorSize = 0;
    uint64_t length = 0;
    if (::ioctl(fd, BLKSSZGET, &sectorSize) != 0 || ::ioctl(fd, BLKGETSIZE64, &length) != 0) {
        return errno;
    }
    if (sectorSize <= 0) {
        return EINVAL;
    }
    placement.sectorSize = static_cast<uint32_t>(sectorSize);
    hd_geometry geometry{};
    const bool hasGeometry =
        ::ioctl(fd, HDIO_GETGEO, &geometry) == 0 && geometry.heads != 0 && geometry.sectors != 0;
    placement.heads = hasGeometry ? geometry.heads : kDefaultHeads;
    placement.sectorsPerTrack = hasGeometry ? geometry.sectors : kDefaultSectorsPerTrack;
    placement.diskLength = length;
    placement.volumeLength = length;
    // A device whose own sector 0 holds a partition table is never formatted whole: a disk is
    // named by its partition, and a partition that holds a table is not a volume.
    TargetLayout layout;
    if (const int error = ProbeTargetLayout(fd, length, layout)) {
        return error;
    }
    if (layout.kind != TargetLayoutKind::kBareVolume) {
        return EMEDIUMTYPE;
    }

    const auto rdev = static_cast<dev_t>(target.Identity().rdev);
    const auto info = ReadSysfsBlockInfo(sysfsRoot, major(rdev), minor(rdev));
    if (!info) {
        return ENODEV;
    }
    if (!info->isPartition) {
        return 0;  // a whole disk without a partition table: nothing before it, no entry
    }
    // sysfs counts in 512-byte units whatever the sector size.
    const uint64_t hidden = info->start * 512 / placement.sectorSize;
    if (hidden > UINT32_MAX) {
        return EOVERFLOW;  // beyond what the boot sector's hidden-sectors field can hold
    }
    placement.hiddenSectors = static_cast<uint32_t>(hidden);
    placement.hasTableEntry = true;
    placement.partitionNumber = info->partitionNumber;
    placement.tableEntryStart = placement.hiddenSectors;
    placement.tablePath = "/dev/" + info->parentName;
    placement.tableDevice = makedev(info->parentMajor, info->parentMinor);
    struct stat parentStat {};
    if (::stat(placement.tablePath.c_str(), &parentStat) != 0 || !S_ISBLK(parentStat.st_mode) ||
        parentStat.st_rdev != placement.tableDevice) {
        placement.tablePath.clear();  // no node for the parent disk: the type cannot be rewritten
        return 0;
    }
    UniqueFd parent;
    if (OpenTableDisk(placement, O_RDONLY, parent) == 0) {
        ReadTableEntry(parent.Get(), placement);
    }
    return 0;
}

}  // namespace

int ReadVolumePlacement(OpenTarget& target, const std::filesystem::path& sysfsRoot,
                        VolumePlacement& placement) {
    placement = VolumePlacement{};
    return target.IsImage() ? ReadImagePlacement(target, placement)
                            : ReadBlockDevicePlacement(target, sysfsRoot, placement);
}

int WritePartitionType(OpenTarget& target, VolumePlacement& placement, uint8_t type) {
    if (!placement.hasTableEntry) {
        return 0;
    }
    UniqueFd parent;
    int fd = target.Fd();
    if (!target.IsImage()) {
        if (placement.tablePath.empty()) {
            return ENODEV;
        }
        if (const int error = OpenTableDisk(placement, O_RDWR, parent)) {
            return error;
        }
        fd = parent.Get();
    }
    // The whole first sector is read and written back (aligned, for a descriptor under O_DIRECT).
    const uint32_t sectorSize = placement.sectorSize;
    AlignedBuffer sector = MakeAlignedBuffer(sectorSize);
    std::size_t got = 0;
    if (const int error = ReadFully(fd, sector.get(), sectorSize, 0, got)) {
        return error;
    }
    const std::span<std::byte> sector0(sector.get(), kImageSectorSize);
    if (got != sectorSize || !HasTableSignature(sector0)) {
        return EIO;
    }
    const int index = FindTableEntry(sector0, placement.partitionNumber, placement.tableEntryStart);
    if (index < 0) {
        return ENXIO;  // the table no longer describes this partition
    }
    sector0[kMbrFirstEntryOffset + static_cast<std::size_t>(index) * kMbrEntrySize + kMbrEntryTypeOffset] =
        std::byte{type};
    if (const int error = WriteFully(fd, sector.get(), sectorSize, 0)) {
        return error;
    }
    if (::fsync(fd) != 0) {
        return errno;
    }
    placement.partitionType = type;
    return 0;
}

}  // namespace tolven::linux_host
