// FAT32 file layer: opening a volume, and its labels, space, directories and files.
//
// Every change follows one order, so that an interruption or a failure never leaves a
// directory entry pointing at clusters the FAT does not give it: first the new clusters' contents
// (they are still free, so nothing refers to them), then the FATs, then the directory entry,
// then FSInfo. A failure before the FATs are written simply forgets the FAT changes.
#include "fatfs/fat32_volume.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "base/little_endian.h"
#include "fatfs/fat32_volume_detail.h"

namespace tolven {

using namespace volume_detail;

namespace {

constexpr char kNoLabel[] = "NO NAME    ";

FatStatus NotOpen() {
    return FatStatus::Fail(FatError::kInvalidArgument, "the volume is not open");
}

}  // namespace

Fat32Volume::Fat32Volume(IBlockDevice& device, LocalTimeSource localTime, std::size_t fatCacheBytes)
    : device_(device), localTime_(std::move(localTime)), fatCacheBytes_(fatCacheBytes) {}

FatStatus Fat32Volume::Open() {
    const uint32_t sectorSize = device_.SectorSize();
    if (sectorSize < 512 || sectorSize > 4096) {
        return FatStatus::Fail(FatError::kNotFat32,
                               "not a FAT32 volume: unsupported sector size " + std::to_string(sectorSize));
    }
    if (device_.SectorCount() == 0) {
        return FatStatus::Fail(FatError::kTruncated, "truncated FAT32 volume: the device is empty");
    }
    bootSector_.assign(sectorSize, std::byte{0});
    if (!device_.Read(0, bootSector_.data(), sectorSize)) {
        return IoFailure("read the boot sector");
    }
    if (FatStatus status = ParseFat32BootSector(bootSector_, sectorSize, device_.SectorCount(), geometry_);
        !status.ok()) {
        return status;
    }
    backupBootSector_.assign(sectorSize, std::byte{0});
    if (!device_.Read(uint64_t{geometry_.backupBootSector} * sectorSize, backupBootSector_.data(),
                      sectorSize)) {
        return IoFailure("read the backup boot sector");
    }
    if (FatStatus status = CheckBackupBootSector(bootSector_, backupBootSector_); !status.ok()) {
        return status;
    }
    fsInfoSector_.assign(sectorSize, std::byte{0});
    if (!device_.Read(uint64_t{geometry_.fsInfoSector} * sectorSize, fsInfoSector_.data(), sectorSize)) {
        return IoFailure("read the FSInfo sector");
    }
    if (FatStatus status = ParseFsInfoSector(fsInfoSector_, geometry_); !status.ok()) {
        return status;
    }
    fat_ = std::make_unique<FatTable>(device_, geometry_, fatCacheBytes_);
    allocationHint_ = kFirstDataCluster;
    if (FsInfoTrusted(geometry_)) {
        fat_->TrustFreeCount(geometry_.fsInfoFreeCount);
        if (geometry_.IsDataCluster(geometry_.fsInfoNextFree)) {
            allocationHint_ = geometry_.fsInfoNextFree;
        }
    }
    // Every new entry goes into the root directory or below it: a root whose cluster the FAT
    // gives away would be overwritten by the next file.
    uint32_t rootEntry = 0;
    if (FatStatus status = fat_->Get(geometry_.rootCluster, rootEntry); !status.ok()) {
        return status;
    }
    if (rootEntry == 0 || rootEntry == kFatEntryBad) {
        return Damaged("the root directory's cluster " + std::to_string(geometry_.rootCluster) + " is " +
                       (rootEntry == 0 ? "marked free" : "marked bad") + " in the FAT");
    }
    open_ = true;
    return FatStatus::Ok();
}

// ---- commit ------------------------------------------------------------------------------------

FatStatus Fat32Volume::Fail(FatStatus status) {
    if (!fat_->Discard()) {
        // Some changes reached the FATs already: the free count on disk can no longer be vouched
        // for, so FSInfo says "unknown" and the next mount counts again.
        stale_ = true;
        StoreLe32(&fsInfoSector_[fs_info::kFreeCount], fs_info::kUnknown);
        if (WriteFsInfoSector()) {
            device_.Flush();
        }
    }
    return status;
}

bool Fat32Volume::WriteFsInfoSector() {
    return device_.Write(uint64_t{geometry_.fsInfoSector} * geometry_.bytesPerSector, fsInfoSector_.data(),
                         fsInfoSector_.size());
}

// A device may keep the writes between two flushes in any order. What an entry points to (file
// data, a cleared directory cluster, the chain that links them) is therefore flushed before the
// entry is written: a power cut then leaves no entry, or one whose data and chain are whole, or at
// worst clusters no entry owns, which a check reclaims. A link that adds a cluster to an existing
// directory waits for the cluster's clearing to be flushed (FlushData) before it is made.
FatStatus Fat32Volume::FlushData() {
    if (!unflushedData_) {
        return FatStatus::Ok();
    }
    if (!device_.Flush()) {
        return IoFailure("flush the data ahead of its entry");
    }
    unflushedData_ = false;
    return FatStatus::Ok();
}

FatStatus Fat32Volume::FlushChains() {
    if (fat_->HasChanges()) {
        if (FatStatus status = fat_->Flush(); !status.ok()) {
            return status;
        }
        unflushedData_ = true;
    }
    return FlushData();
}

FatStatus Fat32Volume::Commit() {
    if (FatStatus status = fat_->Flush(); !status.ok()) {
        return status;
    }
    uint32_t freeCount = 0;
    uint32_t nextFree = 0;
    if (FatStatus status = fat_->FreeCount(freeCount); !status.ok()) {
        return status;
    }
    if (FatStatus status = fat_->NextFree(allocationHint_, nextFree); !status.ok()) {
        return status;
    }
    StoreLe32(&fsInfoSector_[fs_info::kFreeCount], freeCount);
    StoreLe32(&fsInfoSector_[fs_info::kNextFree], nextFree);
    if (!WriteFsInfoSector()) {
        return IoFailure("write the FSInfo sector");
    }
    geometry_.fsInfoFreeCount = freeCount;
    geometry_.fsInfoNextFree = nextFree;
    if (!device_.Flush()) {
        return IoFailure("flush the volume");
    }
    unflushedData_ = false;
    return FatStatus::Ok();
}

// ---- path look-ups -----------------------------------------------------------------------------

FatStatus Fat32Volume::LookUp(std::span<const std::string> path, uint32_t& parent, ShortName& name,
                              std::optional<FoundEntry>& found) {
    if (!open_) {
        return NotOpen();
    }
    if (FatStatus status = ResolveParent(path, parent, name); !status.ok()) {
        return status;
    }
    return Find(parent, name, found);
}

FatStatus Fat32Volume::LookUpNew(std::span<const std::string> path, uint32_t& parent, ShortName& name) {
    std::optional<FoundEntry> existing;
    if (FatStatus status = LookUp(path, parent, name, existing); !status.ok()) {
        return status;
    }
    if (existing) {
        return FatStatus::Fail(FatError::kAlreadyExists, Quoted(path.back()) + " already exists");
    }
    return FatStatus::Ok();
}

FatStatus Fat32Volume::LookUpExisting(std::span<const std::string> path, FoundEntry& found) {
    uint32_t parent = 0;
    ShortName name;
    std::optional<FoundEntry> entry;
    if (FatStatus status = LookUp(path, parent, name, entry); !status.ok()) {
        return status;
    }
    if (!entry) {
        return FatStatus::Fail(FatError::kNotFound, "file not found: \"" + path.back() + "\"");
    }
    found = std::move(*entry);
    return FatStatus::Ok();
}

// ---- operations --------------------------------------------------------------------------------

FatStatus Fat32Volume::ReadLabel(std::string& label) {
    if (!open_) {
        return NotOpen();
    }
    label.clear();
    std::optional<FoundEntry> found;
    if (FatStatus status = FindLabelEntry(found); !status.ok()) {
        return status;
    }
    if (found) {
        label = LabelText(found->entry.name);
    }
    return FatStatus::Ok();
}

FatStatus Fat32Volume::SetLabel(std::string_view label) {
    if (!open_) {
        return NotOpen();
    }
    ShortName field;
    if (FatStatus status = MakeVolumeLabel(label, field); !status.ok()) {
        return status;
    }
    const bool remove = LabelText(field).empty();
    std::optional<FoundEntry> found;
    if (FatStatus status = FindLabelEntry(found); !status.ok()) {
        return status;
    }
    if (remove) {
        if (found) {
            if (FatStatus status = MarkDeleted(found->offset); !status.ok()) {
                return status;
            }
        }
    } else {
        uint64_t offset = 0;
        DirEntry entry = NewEntry(field, kAttrVolumeId);
        if (found) {
            offset = found->offset;
        } else if (FatStatus status = ReserveSlot(geometry_.rootCluster, offset); !status.ok()) {
            return Fail(status);
        }
        // A label entry carries only its name, attribute and the time it was written.
        entry.created = {};
        entry.accessDate = 0;
        if (FatStatus status = FlushChains(); !status.ok()) {
            return status;
        }
        if (FatStatus status = WriteEntry(offset, entry); !status.ok()) {
            return status;
        }
    }
    const char* bootLabel = remove ? kNoLabel : field.data();
    for (auto* sector : {&bootSector_, &backupBootSector_}) {
        std::memcpy(&(*sector)[boot_sector::kVolumeLabel], bootLabel, kShortNameBytes);
    }
    if (!device_.Write(0, bootSector_.data(), bootSector_.size())) {
        return IoFailure("write the boot sector");
    }
    if (!device_.Write(uint64_t{geometry_.backupBootSector} * geometry_.bytesPerSector,
                       backupBootSector_.data(), backupBootSector_.size())) {
        return IoFailure("write the backup boot sector");
    }
    return Commit();
}

FatStatus Fat32Volume::FreeBytes(uint64_t& bytes) {
    if (!open_) {
        return NotOpen();
    }
    uint32_t freeCount = 0;
    if (FatStatus status = fat_->FreeCount(freeCount); !status.ok()) {
        return status;
    }
    bytes = uint64_t{freeCount} * geometry_.ClusterBytes();
    return FatStatus::Ok();
}

FatStatus Fat32Volume::CreateDirectory(std::span<const std::string> path) {
    uint32_t parent = 0;
    ShortName name;
    if (FatStatus status = LookUpNew(path, parent, name); !status.ok()) {
        return status;
    }
    std::vector<uint32_t> cluster;
    if (FatStatus status = Allocate(1, cluster); !status.ok()) {
        return Fail(status);
    }
    DirEntry entry = NewEntry(name, kAttrDirectory);
    entry.firstCluster = cluster[0];
    // "." names the directory itself, ".." its parent (0 for the root).
    std::byte dots[2 * kDirEntryBytes];
    DirEntry self = entry;
    self.name.fill(' ');
    self.name[0] = '.';
    DirEntry up = self;
    up.name[1] = '.';
    up.firstCluster = parent == geometry_.rootCluster ? 0 : parent;
    EncodeDirEntry(self, std::span<std::byte>(dots, kDirEntryBytes));
    EncodeDirEntry(up, std::span<std::byte>(dots + kDirEntryBytes, kDirEntryBytes));
    if (FatStatus status = WriteZeroCluster(cluster[0], dots); !status.ok()) {
        return Fail(status);
    }
    uint64_t offset = 0;
    if (FatStatus status = ReserveSlot(parent, offset); !status.ok()) {
        return Fail(status);
    }
    if (FatStatus status = FlushChains(); !status.ok()) {
        return status;
    }
    if (FatStatus status = WriteEntry(offset, entry); !status.ok()) {
        // Give the cluster back so that no chain is left without an owner.
        (void)FreeChain(cluster[0]);
        (void)Commit();
        return status;
    }
    return Commit();
}

FatStatus Fat32Volume::CreateFile(std::span<const std::string> path, uint8_t attributes) {
    uint32_t parent = 0;
    ShortName name;
    if (FatStatus status = LookUpNew(path, parent, name); !status.ok()) {
        return status;
    }
    uint64_t entryOffset = 0;
    if (FatStatus status = ReserveSlot(parent, entryOffset); !status.ok()) {
        return Fail(status);
    }
    if (FatStatus status = FlushChains(); !status.ok()) {
        return status;
    }
    if (FatStatus status = WriteEntry(entryOffset, NewEntry(name, attributes)); !status.ok()) {
        return status;
    }
    return Commit();
}

FatStatus Fat32Volume::WriteContent(std::span<const std::string> path, const std::byte* data,
                                    std::size_t byteCount) {
    FoundEntry found;
    if (FatStatus status = LookUpExisting(path, found); !status.ok()) {
        return status;
    }
    DirEntry entry = found.entry;
    const uint64_t entryOffset = found.offset;
    if (entry.IsDirectory()) {
        return FatStatus::Fail(FatError::kAccessDenied, Quoted(path.back()) + " is a directory");
    }
    if (entry.firstCluster != 0 || entry.size != 0) {
        return FatStatus::Fail(
            FatError::kInvalidArgument,
            Quoted(NameText(entry.name)) + " already has content; it is written only once");
    }
    if (byteCount > 0xFFFFFFFFu) {
        return FatStatus::Fail(FatError::kInvalidArgument, "a FAT file holds at most 4 GiB - 1 bytes");
    }
    const uint32_t clusterBytes = geometry_.ClusterBytes();
    const auto needed = static_cast<uint32_t>((uint64_t{byteCount} + clusterBytes - 1) / clusterBytes);
    std::vector<uint32_t> clusters;
    if (FatStatus status = Allocate(needed, clusters); !status.ok()) {
        return Fail(status);
    }
    if (FatStatus status = WriteData(clusters, data, byteCount); !status.ok()) {
        return Fail(status);
    }
    if (FatStatus status = FlushChains(); !status.ok()) {
        return status;
    }
    const DirEntry now = NewEntry(entry.name, entry.attributes);
    entry.firstCluster = clusters.empty() ? 0 : clusters[0];
    entry.size = static_cast<uint32_t>(byteCount);
    entry.written = now.written;
    entry.accessDate = now.accessDate;
    if (FatStatus status = WriteEntry(entryOffset, entry); !status.ok()) {
        if (!clusters.empty()) {
            (void)FreeChain(clusters[0]);
            (void)Commit();
        }
        return status;
    }
    return Commit();
}

FatStatus Fat32Volume::DeleteFile(std::span<const std::string> path) {
    FoundEntry found;
    if (FatStatus status = LookUpExisting(path, found); !status.ok()) {
        return status;
    }
    if (found.entry.IsDirectory()) {
        return FatStatus::Fail(FatError::kAccessDenied, Quoted(path.back()) + " is a directory");
    }
    if (found.entry.firstCluster != 0 && !geometry_.IsDataCluster(found.entry.firstCluster)) {
        return Damaged(Quoted(path.back()) + " starts outside the data area");
    }
    if ((found.entry.attributes & kAttrReadOnly) != 0) {
        return FatStatus::Fail(FatError::kAccessDenied, Quoted(path.back()) + " is read-only");
    }
    // The entry goes first: an interruption then leaves lost clusters, never a file whose
    // clusters are marked free.
    for (const uint64_t offset : found.longNameOffsets) {
        if (FatStatus status = MarkDeleted(offset); !status.ok()) {
            return status;
        }
    }
    if (FatStatus status = MarkDeleted(found.offset); !status.ok()) {
        return status;
    }
    unflushedData_ = true;  // the removed entry must be on the disk before its clusters are free
    if (FatStatus status = FlushData(); !status.ok()) {
        return status;
    }
    if (found.entry.firstCluster != 0) {
        if (FatStatus status = FreeChain(found.entry.firstCluster); !status.ok()) {
            return Fail(status);
        }
    }
    return Commit();
}

}  // namespace tolven
