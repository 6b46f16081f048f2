// Linux host: the formatter's volume handle over an image file or a block device. Every
// refusal is a false result; a refused open keeps its Status, whose errno is the error code the
// log reports.
#include "platform/linux/volume/linux_volume.h"

#include "platform/linux/volume/access_refusal.h"
#include "platform/linux/volume/posix_file.h"

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace tolven::linux_host {

LinuxVolume::LinuxVolume(std::shared_ptr<OpenTarget> target, const VolumePlacement& placement, bool exclusive,
                         bool direct)
    : target_(std::move(target)), placement_(placement), exclusive_(exclusive), direct_(direct) {}

bool LinuxVolume::WritePendingZeros() {
    if (pendingZeroBytes_ == 0) {
        return true;
    }
    const int error = target_->WriteZeros(pendingZeroOffset_, pendingZeroBytes_);
    pendingZeroBytes_ = 0;
    return error == 0;
}

bool LinuxVolume::Flush() {
    return target_ && WritePendingZeros() && target_->Sync() == 0;
}

bool LinuxVolume::LockVolume() {
    if (!target_) {
        return false;
    }
    // An exclusive handle holds the claim already; a shared one needs to be alone for it.
    if (!exclusive_ && !locked_ && target_->LockHandle() != 0) {
        return false;
    }
    locked_ = true;
    return true;
}

bool LinuxVolume::GetDriveGeometry(DiskGeometry& geometry) {
    if (!target_) {
        return false;
    }
    geometry = DiskGeometry{};
    geometry.BytesPerSector = placement_.sectorSize;
    geometry.TracksPerCylinder = placement_.heads;
    geometry.SectorsPerTrack = placement_.sectorsPerTrack;
    geometry.MediaType = kFixedMedia;
    const uint64_t cylinderBytes =
        static_cast<uint64_t>(placement_.heads) * placement_.sectorsPerTrack * placement_.sectorSize;
    geometry.Cylinders = cylinderBytes == 0 ? 0 : static_cast<int64_t>(placement_.diskLength / cylinderBytes);
    return true;
}

bool LinuxVolume::GetPartitionInfo(PartitionInformation& info) {
    if (!target_) {
        return false;
    }
    info = PartitionInformation{};
    info.StartingOffset =
        static_cast<int64_t>(static_cast<uint64_t>(placement_.hiddenSectors) * placement_.sectorSize);
    info.PartitionLength = static_cast<int64_t>(placement_.volumeLength);
    info.HiddenSectors = placement_.hiddenSectors;
    info.PartitionNumber = placement_.partitionNumber;
    info.PartitionType = placement_.partitionType;
    info.BootIndicator = placement_.bootIndicator;
    info.RecognizedPartition = placement_.hasTableEntry;
    return true;
}

bool LinuxVolume::SetPartitionType(uint8_t partitionType) {
    if (!target_ || !WritePendingZeros()) {
        return false;
    }
    if (const int error = WritePartitionType(*target_, placement_, partitionType)) {
        target_->NoteFailure("partition type", error);  // the reason the terminal names
        return false;
    }
    target_->NoteRewritten();
    return true;
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
    if (!exclusive_) {
        target_->UnlockHandle();
    }
    locked_ = false;
    return true;
}

bool LinuxVolume::WriteAt(uint64_t byteOffset, const std::byte* data, uint32_t byteCount) {
    if (!target_ || data == nullptr || target_->WriteError() != 0) {
        return false;
    }
    const uint32_t sector = placement_.sectorSize;
    // The rules of an unbuffered volume, enforced whether or not O_DIRECT is in effect here.
    if (byteOffset % sector != 0 || byteCount % sector != 0 ||
        reinterpret_cast<uintptr_t>(data) % sector != 0) {
        return false;
    }
    if (byteOffset > placement_.volumeLength || byteCount > placement_.volumeLength - byteOffset) {
        return false;  // past the end of the volume: the next partition or beyond the disk
    }
    target_->NoteRewritten();
    const uint64_t at = placement_.volumeOffset + byteOffset;
    if (target_->IsImage() && AllZero(data, byteCount)) {
        if (pendingZeroBytes_ != 0 && pendingZeroOffset_ + pendingZeroBytes_ == at &&
            pendingZeroBytes_ + byteCount <= kMostGatheredZeroBytes) {
            pendingZeroBytes_ += byteCount;
            return true;
        }
        const bool written = WritePendingZeros();
        pendingZeroOffset_ = at;
        pendingZeroBytes_ = byteCount;
        return written;
    }
    return WritePendingZeros() && target_->Write(at, data, byteCount) == 0;
}

void LinuxVolume::CloseHandle() {
    if (!target_) {
        return;
    }
    // Nothing can report a failure here; UnlockVolume already flushed.
    WritePendingZeros();
    target_->Sync();
    if (locked_ && !exclusive_) {
        target_->UnlockHandle();
    }
    target_->CloseHandle(exclusive_);
    if (direct_) {
        target_->EndDirectIo();
    }
    target_.reset();
}

char VolumeLetterFromPath(std::u16string_view path) {
    static constexpr std::u16string_view kPrefix = u"\\\\.\\";
    if (path.size() != kPrefix.size() + 2 || path.substr(0, kPrefix.size()) != kPrefix ||
        path.back() != u':') {
        return 0;
    }
    return DriveLetterOf(path[kPrefix.size()]);
}

LinuxVolumeSystem::LinuxVolumeSystem(const DriveTable& drives, std::filesystem::path sysfsRoot)
    : ownTargets_(std::make_unique<TargetTable>(drives)),
      targets_(*ownTargets_),
      sysfsRoot_(std::move(sysfsRoot)) {}

LinuxVolumeSystem::LinuxVolumeSystem(TargetTable& targets, std::filesystem::path sysfsRoot)
    : targets_(targets), sysfsRoot_(std::move(sysfsRoot)) {}

std::unique_ptr<IVolume> LinuxVolumeSystem::Refuse(Status status) {
    lastOpen_ = std::move(status);
    return nullptr;
}

std::unique_ptr<IVolume> LinuxVolumeSystem::CreateFileW(std::u16string_view path, uint32_t desiredAccess,
                                                        uint32_t shareMode, uint32_t flagsAndAttributes) {
    const char letter = VolumeLetterFromPath(path);
    if (letter == 0) {
        return Refuse(Status::FromErrno(EINVAL, "cannot open the volume: its path names no drive letter"));
    }
    TargetOpen opened = targets_.Open(letter);
    if (opened.target == nullptr) {
        return Refuse(std::move(opened.status));
    }
    // Named as the drive names it: the run may reach the target through another of its names.
    const std::string& name = targets_.Drives().Find(letter)->path;
    OpenTarget& target = *opened.target;
    if ((desiredAccess & kGenericWrite) != 0 && target.WriteError() != 0) {
        return Refuse(AccessRefusal(name, target.WriteError()));
    }
    const bool exclusive = shareMode == 0;
    if (const int error = target.OpenHandle(exclusive)) {
        return Refuse(AccessRefusal(name, error, target.Fd()));
    }
    // The placement is read under the claim, so no other formatter is midway through.
    VolumePlacement placement;
    if (const int error = ReadVolumePlacement(target, sysfsRoot_, placement)) {
        target.CloseHandle(exclusive);
        return Refuse(AccessRefusal(name, error, target.Fd()));
    }
    const bool direct = (flagsAndAttributes & kFileFlagNoBuffering) != 0 && target.BeginDirectIo();
    return std::make_unique<LinuxVolume>(opened.target, placement, exclusive, direct);
}

}  // namespace tolven::linux_host
