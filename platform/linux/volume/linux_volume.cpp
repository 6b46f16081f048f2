// Linux host: the formatter's volume handle over an image file or a block device. Every
// refusal is a false result; the open's errno is kept as the error code the log reports.
#include "platform/linux/volume/linux_volume.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace tolven::linux_host {

bool LinuxVolume::Flush() {
    return target_.fd.Valid() && ::fsync(target_.fd.Get()) == 0;
}

bool LinuxVolume::LockVolume() {
    if (!target_.fd.Valid()) {
        return false;
    }
    if (target_.lock != TargetLock::kExclusive) {
        // Opened shared: the lock needs the claim nobody else may hold.
        if (target_.isImage) {
            if (::flock(target_.fd.Get(), LOCK_EX | LOCK_NB) != 0) {
                // A refused conversion may have dropped the shared lock: take it back.
                ::flock(target_.fd.Get(),
                        (target_.lock == TargetLock::kShared ? LOCK_SH : LOCK_UN) | LOCK_NB);
                return false;
            }
        } else {
            const int claim = ::open(target_.path.c_str(), O_RDONLY | O_EXCL | O_CLOEXEC);
            if (claim < 0) {
                return false;
            }
            claim_.Reset(claim);
        }
    }
    locked_ = true;
    return true;
}

bool LinuxVolume::GetDriveGeometry(DiskGeometry& geometry) {
    if (!target_.fd.Valid()) {
        return false;
    }
    geometry = DiskGeometry{};
    geometry.BytesPerSector = target_.sectorSize;
    geometry.TracksPerCylinder = target_.heads;
    geometry.SectorsPerTrack = target_.sectorsPerTrack;
    geometry.MediaType = kFixedMedia;
    const uint64_t cylinderBytes =
        static_cast<uint64_t>(target_.heads) * target_.sectorsPerTrack * target_.sectorSize;
    geometry.Cylinders = cylinderBytes == 0 ? 0 : static_cast<int64_t>(target_.diskLength / cylinderBytes);
    return true;
}

bool LinuxVolume::GetPartitionInfo(PartitionInformation& info) {
    if (!target_.fd.Valid()) {
        return false;
    }
    info = PartitionInformation{};
    info.StartingOffset =
        static_cast<int64_t>(static_cast<uint64_t>(target_.hiddenSectors) * target_.sectorSize);
    info.PartitionLength = static_cast<int64_t>(target_.volumeLength);
    info.HiddenSectors = target_.hiddenSectors;
    info.PartitionNumber = target_.partitionNumber;
    info.PartitionType = target_.partitionType;
    info.BootIndicator = target_.bootIndicator;
    info.RecognizedPartition = target_.hasTableEntry;
    return true;
}

bool LinuxVolume::SetPartitionType(uint8_t partitionType) {
    return target_.fd.Valid() && WritePartitionType(target_, partitionType) == 0;
}

bool LinuxVolume::DismountVolume() {
    // The exclusive claim keeps every file system off the volume, so there is nothing mounted to
    // let go of; what remains is to get the written data onto the device.
    return Flush();
}

bool LinuxVolume::UnlockVolume() {
    if (!locked_ || !Flush()) {
        return false;
    }
    if (target_.lock != TargetLock::kExclusive) {
        if (target_.isImage) {
            const int back = target_.lock == TargetLock::kShared ? LOCK_SH : LOCK_UN;
            ::flock(target_.fd.Get(), back | LOCK_NB);
        }
        claim_.Reset();
    }
    locked_ = false;
    return true;
}

bool LinuxVolume::WriteAt(uint64_t byteOffset, const std::byte* data, uint32_t byteCount) {
    if (!target_.fd.Valid() || data == nullptr) {
        return false;
    }
    const uint32_t sector = target_.sectorSize;
    // The rules of an unbuffered volume, enforced whether or not O_DIRECT is in effect here.
    if (byteOffset % sector != 0 || byteCount % sector != 0 ||
        reinterpret_cast<uintptr_t>(data) % sector != 0) {
        return false;
    }
    if (byteOffset > target_.volumeLength || byteCount > target_.volumeLength - byteOffset) {
        return false;  // past the end of the volume: the next partition or beyond the disk
    }
    return WriteFully(target_.fd.Get(), data, byteCount, target_.volumeOffset + byteOffset) == 0;
}

void LinuxVolume::CloseHandle() {
    if (target_.fd.Valid()) {
        ::fsync(target_.fd.Get());  // nothing can report a failure here; UnlockVolume already flushed
        claim_.Reset();
        target_.fd.Reset();
    }
}

char VolumeLetterFromPath(std::u16string_view path) {
    static constexpr std::u16string_view kPrefix = u"\\\\.\\";
    if (path.size() != kPrefix.size() + 2 || path.substr(0, kPrefix.size()) != kPrefix ||
        path.back() != u':') {
        return 0;
    }
    return DriveLetterOf(path[kPrefix.size()]);
}

std::unique_ptr<IVolume> LinuxVolumeSystem::CreateFileW(std::u16string_view path, uint32_t desiredAccess,
                                                        uint32_t shareMode, uint32_t flagsAndAttributes) {
    const char letter = VolumeLetterFromPath(path);
    if (letter == 0) {
        lastError_ = EINVAL;
        return nullptr;
    }
    const DriveTarget* drive = drives_.Find(letter);
    if (drive == nullptr) {
        lastError_ = ENOENT;
        return nullptr;
    }
    TargetOpenOptions options;
    options.write = (desiredAccess & kGenericWrite) != 0;
    options.direct = (flagsAndAttributes & kFileFlagNoBuffering) != 0;
    options.lock = shareMode == 0 ? TargetLock::kExclusive : TargetLock::kShared;
    options.sysfsRoot = sysfsRoot_;
    VolumeTarget target;
    if (const int error = OpenVolumeTarget(drive->path, options, target)) {
        lastError_ = error;
        return nullptr;
    }
    return std::make_unique<LinuxVolume>(std::move(target));
}

}  // namespace tolven::linux_host
