// Linux host: opening images and block devices as volumes (open flags, locks, geometry,
// partition placement) and rewriting the partition type in the table that holds the volume.
#include "platform/linux/volume/volume_target.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <linux/hdreg.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <span>

#include "platform/linux/volume/image_layout.h"

namespace tolven::linux_host {

namespace {

// What a disk without a geometry of its own reports, as on Windows for images and large disks.
constexpr uint32_t kDefaultHeads = 255;
constexpr uint32_t kDefaultSectorsPerTrack = 63;

int OpenFlags(const TargetOpenOptions& options, bool direct) {
    int flags = (options.write ? O_RDWR : O_RDONLY) | O_CLOEXEC;
    if (options.lock == TargetLock::kExclusive) {
        flags |= O_EXCL;  // claims a block device (refused when mounted or claimed); no effect on files
    }
    if (direct) {
        flags |= O_DIRECT;
    }
    return flags;
}

int OpenPath(const std::string& path, int flags, UniqueFd& fd) {
    const int raw = ::open(path.c_str(), flags);
    if (raw < 0) {
        return errno;
    }
    fd.Reset(raw);
    return 0;
}

int LockImage(int fd, TargetLock lock) {
    if (lock == TargetLock::kNone) {
        return 0;
    }
    const int operation = (lock == TargetLock::kExclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
    while (::flock(fd, operation) != 0) {
        if (errno != EINTR) {
            return errno;
        }
    }
    return 0;
}

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

int OpenImage(const TargetOpenOptions& options, VolumeTarget& target) {
    AlignedBuffer sector0 = MakeAlignedBuffer(kImageSectorSize);
    std::size_t got = 0;
    if (target.direct) {
        // Some file systems accept O_DIRECT at open and refuse the transfer itself.
        const int error = ReadFully(target.fd.Get(), sector0.get(), kImageSectorSize, 0, got);
        if (error == EINVAL) {
            target.fd.Reset();
            target.direct = false;
            if (const int reopen = OpenPath(target.path, OpenFlags(options, false), target.fd)) {
                return reopen;
            }
        } else if (error != 0) {
            return error;
        }
    }
    if (const int error = LockImage(target.fd.Get(), options.lock)) {
        return error;
    }
    target.lock = options.lock;
    // Sector 0 and the size are read under the lock, so no other formatter is midway through.
    struct stat st {};
    if (::fstat(target.fd.Get(), &st) != 0) {
        return errno;
    }
    if (const int error = ReadFully(target.fd.Get(), sector0.get(), kImageSectorSize, 0, got)) {
        return error;
    }
    const uint64_t fileSize = static_cast<uint64_t>(st.st_size);
    const ImageLayout layout = ClassifyImage(std::span<const std::byte>(sector0.get(), got), fileSize);

    target.sectorSize = kImageSectorSize;
    target.heads = kDefaultHeads;
    target.sectorsPerTrack = kDefaultSectorsPerTrack;
    target.diskLength = fileSize;
    switch (layout.kind) {
        case ImageKind::kUnsupportedDisk:
            return EMEDIUMTYPE;
        case ImageKind::kBareVolume:
            target.volumeLength = fileSize;
            return 0;
        case ImageKind::kMbrDisk:
            break;
    }
    const MbrEntry& entry = layout.firstEntry;
    target.volumeOffset = static_cast<uint64_t>(entry.startLba) * kImageSectorSize;
    target.volumeLength = static_cast<uint64_t>(entry.sectorCount) * kImageSectorSize;
    target.hiddenSectors = entry.startLba;
    target.hasTableEntry = true;
    target.partitionNumber = 1;
    target.partitionType = entry.type;
    target.bootIndicator = entry.bootIndicator == 0x80;
    target.tableEntryStart = entry.startLba;
    return 0;
}

// Reads the parent disk's entry for the partition, for the type it reports. Best effort: a
// table that cannot be read now is read again, and reported, when the type is rewritten.
void ReadParentEntry(VolumeTarget& target) {
    UniqueFd parent;
    if (OpenPath(target.tablePath, O_RDONLY | O_CLOEXEC, parent) != 0) {
        return;
    }
    std::byte sector0[kImageSectorSize];
    std::size_t got = 0;
    if (ReadFully(parent.Get(), sector0, sizeof sector0, 0, got) != 0 || got != sizeof sector0 ||
        !HasTableSignature(sector0)) {
        return;
    }
    const int index = FindTableEntry(sector0, target.partitionNumber, target.tableEntryStart);
    if (index >= 0) {
        const MbrEntry entry = ReadMbrEntry(sector0, index);
        target.partitionType = entry.type;
        target.bootIndicator = entry.bootIndicator == 0x80;
    }
}

int OpenBlockDevice(const TargetOpenOptions& options, const struct stat& st, VolumeTarget& target) {
    const int fd = target.fd.Get();
    int sectorSize = 0;
    uint64_t length = 0;
    if (::ioctl(fd, BLKSSZGET, &sectorSize) != 0 || ::ioctl(fd, BLKGETSIZE64, &length) != 0) {
        return errno;
    }
    if (sectorSize <= 0) {
        return EINVAL;
    }
    target.sectorSize = static_cast<uint32_t>(sectorSize);
    hd_geometry geometry{};
    const bool hasGeometry =
        ::ioctl(fd, HDIO_GETGEO, &geometry) == 0 && geometry.heads != 0 && geometry.sectors != 0;
    target.heads = hasGeometry ? geometry.heads : kDefaultHeads;
    target.sectorsPerTrack = hasGeometry ? geometry.sectors : kDefaultSectorsPerTrack;
    target.diskLength = length;
    target.volumeLength = length;

    const auto info = ReadSysfsBlockInfo(options.sysfsRoot, major(st.st_rdev), minor(st.st_rdev));
    if (!info) {
        return ENODEV;
    }
    if (!info->isPartition) {
        return 0;  // a whole disk without a partition table: nothing before it, no entry
    }
    // sysfs counts in 512-byte units whatever the sector size.
    const uint64_t hidden = info->start * 512 / target.sectorSize;
    if (hidden > UINT32_MAX) {
        return EOVERFLOW;  // beyond what the boot sector's hidden-sectors field can hold
    }
    target.hiddenSectors = static_cast<uint32_t>(hidden);
    target.hasTableEntry = true;
    target.partitionNumber = info->partitionNumber;
    target.tableEntryStart = target.hiddenSectors;
    target.tablePath = "/dev/" + info->parentName;
    struct stat parentStat {};
    if (::stat(target.tablePath.c_str(), &parentStat) != 0 || !S_ISBLK(parentStat.st_mode) ||
        parentStat.st_rdev != makedev(info->parentMajor, info->parentMinor)) {
        target.tablePath.clear();  // no node for the parent disk: the type cannot be rewritten
        return 0;
    }
    ReadParentEntry(target);
    return 0;
}

}  // namespace

int OpenVolumeTarget(const std::string& path, const TargetOpenOptions& options, VolumeTarget& target) {
    target = VolumeTarget{};
    target.path = path;
    target.direct = options.direct;
    int error = OpenPath(path, OpenFlags(options, target.direct), target.fd);
    if (error == EINVAL && target.direct) {
        target.direct = false;  // the file system has no direct I/O at all (tmpfs)
        error = OpenPath(path, OpenFlags(options, false), target.fd);
    }
    if (error != 0) {
        return error;
    }
    struct stat st {};
    if (::fstat(target.fd.Get(), &st) != 0) {
        return errno;
    }
    if (S_ISREG(st.st_mode)) {
        target.isImage = true;
        return OpenImage(options, target);
    }
    if (S_ISBLK(st.st_mode)) {
        target.lock = options.lock;
        return OpenBlockDevice(options, st, target);
    }
    return ENODEV;
}

int WritePartitionType(VolumeTarget& target, uint8_t type) {
    if (!target.hasTableEntry) {
        return 0;
    }
    UniqueFd parent;
    int fd = target.fd.Get();
    if (!target.isImage) {
        if (target.tablePath.empty()) {
            return ENODEV;
        }
        if (const int error = OpenPath(target.tablePath, O_RDWR | O_CLOEXEC, parent)) {
            return error;
        }
        fd = parent.Get();
    }
    // The whole first sector is read and written back (aligned, for a descriptor under O_DIRECT).
    const uint32_t sectorSize = target.sectorSize;
    AlignedBuffer sector = MakeAlignedBuffer(sectorSize);
    std::size_t got = 0;
    if (const int error = ReadFully(fd, sector.get(), sectorSize, 0, got)) {
        return error;
    }
    const std::span<std::byte> sector0(sector.get(), kImageSectorSize);
    if (got != sectorSize || !HasTableSignature(sector0)) {
        return EIO;
    }
    const int index = FindTableEntry(sector0, target.partitionNumber, target.tableEntryStart);
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
    target.partitionType = type;
    return 0;
}

}  // namespace tolven::linux_host
