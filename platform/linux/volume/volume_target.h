// Linux host: opening the volume behind a drive letter's target and learning where it lies.
// Three kinds of target: a disk image holding a bare volume, a disk image holding an MBR disk
// (its first partition is the volume), and a block device (a partition or a whole disk).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/linux/volume/posix_file.h"
#include "platform/linux/volume/sysfs_block.h"

namespace tolven::linux_host {

enum class TargetLock {
    kNone,       // no claim at all (read-only access)
    kShared,     // images: a shared advisory lock, so an exclusive opener is refused meanwhile
    kExclusive,  // block devices: O_EXCL (refused while mounted or claimed); images: flock LOCK_EX
};

struct TargetOpenOptions {
    bool write = true;
    bool direct = true;  // O_DIRECT, dropped when the file system refuses it
    TargetLock lock = TargetLock::kExclusive;
    std::filesystem::path sysfsRoot = kSysfsRoot;
};

struct VolumeTarget {
    UniqueFd fd;
    std::string path;
    bool isImage = false;  // a regular file rather than a block device
    bool direct = false;   // O_DIRECT is in effect
    TargetLock lock = TargetLock::kNone;

    uint32_t sectorSize = 0;
    uint32_t heads = 0;
    uint32_t sectorsPerTrack = 0;
    uint64_t diskLength = 0;    // bytes of what the descriptor addresses
    uint64_t volumeOffset = 0;  // bytes from the descriptor's start to the volume's first byte
    uint64_t volumeLength = 0;  // bytes; nothing at or beyond it is ever touched
    uint32_t hiddenSectors = 0;

    // The partition table entry that describes the volume, when there is one.
    bool hasTableEntry = false;
    uint32_t partitionNumber = 0;
    uint8_t partitionType = 0;
    bool bootIndicator = false;
    std::string tablePath;         // disk node holding the table; empty: the table is in `fd`
    uint32_t tableEntryStart = 0;  // the entry's start LBA, checked again before the table is rewritten
};

// Opens `path` and fills `target`. Returns 0, or errno of the step that failed (EWOULDBLOCK when
// another opener holds an image's lock, EBUSY for a claimed block device, EMEDIUMTYPE for a disk
// image whose first partition is not a volume).
int OpenVolumeTarget(const std::string& path, const TargetOpenOptions& options, VolumeTarget& target);

// Rewrites the type byte of the volume's partition entry and flushes it. A target without an
// entry has nothing to change. Returns 0 or errno.
int WritePartitionType(VolumeTarget& target, uint8_t type);

}  // namespace tolven::linux_host
