// Linux host, FAT32 file layer: labels, space, directories and files on an open volume.
//
// Every change follows one order, so that an interruption or a failure never leaves a
// directory entry pointing at clusters the FAT does not give it: first the new clusters' contents
// (they are still free, so nothing refers to them), then the FATs, then the directory entry,
// then FSInfo. A failure before the FATs are written simply forgets the FAT changes.
#include "platform/linux/fatfs/fat32_volume.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/linux/fatfs/little_endian.h"

namespace tolven::linux_host {

namespace {

constexpr uint32_t kMaxDirectoryEntries = 65536;  // a FAT directory holds at most 2 MiB of entries
constexpr uint32_t kEndOfChainMin = 0x0FFFFFF8u;
constexpr char kNoLabel[] = "NO NAME    ";

FatStatus IoFailure(const std::string& what) {
    return FatStatus::Fail(FatError::kIo, "cannot " + what);
}

FatStatus Damaged(const std::string& what) {
    return FatStatus::Fail(FatError::kInconsistent, "damaged FAT32 volume: " + what);
}

FatStatus NotOpen() {
    return FatStatus::Fail(FatError::kInvalidArgument, "the volume is not open");
}

std::string NameText(const ShortName& name) {
    std::string base(name.begin(), name.begin() + 8);
    std::string extension(name.begin() + 8, name.end());
    base.erase(base.find_last_not_of(' ') + 1);
    extension.erase(extension.find_last_not_of(' ') + 1);
    return extension.empty() ? base : base + "." + extension;
}

}  // namespace

Fat32Volume::Fat32Volume(IBlockDevice& device, LocalTimeSource localTime)
    : device_(device), localTime_(std::move(localTime)) {}

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
    fat_ = std::make_unique<FatTable>(device_, geometry_);
    allocationHint_ =
        geometry_.IsDataCluster(geometry_.fsInfoNextFree) ? geometry_.fsInfoNextFree : kFirstDataCluster;
    open_ = true;
    return FatStatus::Ok();
}

// ---- directories -------------------------------------------------------------------------------

FatStatus Fat32Volume::NextInChain(uint32_t cluster, uint32_t& next, bool& end) {
    if (FatStatus status = fat_->Get(cluster, next); !status.ok()) {
        return status;
    }
    end = next >= kEndOfChainMin;
    if (!end && !geometry_.IsDataCluster(next)) {
        return Damaged("cluster " + std::to_string(cluster) + " is followed by " + std::to_string(next));
    }
    return FatStatus::Ok();
}

FatStatus Fat32Volume::ForEachEntry(uint32_t directoryCluster, const EntryVisitor& visit,
                                    uint32_t* lastCluster, uint32_t* clusterCount) {
    const uint32_t clusterBytes = geometry_.ClusterBytes();
    const uint32_t maxClusters = std::max<uint32_t>(1, kMaxDirectoryEntries * kDirEntryBytes / clusterBytes);
    std::vector<std::byte> buffer(clusterBytes);
    uint32_t cluster = directoryCluster;
    for (uint32_t visited = 1;; ++visited) {
        if (!geometry_.IsDataCluster(cluster) || visited > maxClusters) {
            return Damaged("the directory at cluster " + std::to_string(directoryCluster) +
                           " has a broken chain");
        }
        const uint64_t base = geometry_.ClusterOffset(cluster);
        if (!device_.Read(base, buffer.data(), buffer.size())) {
            return IoFailure("read the directory cluster " + std::to_string(cluster));
        }
        if (lastCluster) {
            *lastCluster = cluster;
        }
        if (clusterCount) {
            *clusterCount = visited;
        }
        for (std::size_t at = 0; at < clusterBytes; at += kDirEntryBytes) {
            const std::span<const std::byte> raw(&buffer[at], kDirEntryBytes);
            if (visit(raw, base + at) == Visit::kStop || IsEndEntry(raw)) {
                return FatStatus::Ok();
            }
        }
        uint32_t next = 0;
        bool end = false;
        if (FatStatus status = NextInChain(cluster, next, end); !status.ok() || end) {
            return status;
        }
        cluster = next;
    }
}

FatStatus Fat32Volume::Find(uint32_t directoryCluster, const ShortName& name,
                            std::optional<FoundEntry>& found) {
    found.reset();
    struct LongNamePiece {
        uint64_t offset;
        uint8_t checksum;
    };
    std::vector<LongNamePiece> longName;
    return ForEachEntry(
        directoryCluster,
        [&](std::span<const std::byte> raw, uint64_t offset) {
            if (IsEndEntry(raw) || IsDeletedEntry(raw)) {
                longName.clear();
                return Visit::kContinue;
            }
            const DirEntry entry = DecodeDirEntry(raw);
            if (entry.IsLongNamePiece()) {
                longName.push_back({offset, std::to_integer<uint8_t>(raw[kLongNameChecksumOffset])});
                return Visit::kContinue;
            }
            if (!entry.IsVolumeLabel() && entry.name == name) {
                // The long name belongs to this entry only when every piece carries its checksum.
                const uint8_t checksum = ShortNameChecksum(raw);
                const bool ownLongName =
                    std::all_of(longName.begin(), longName.end(),
                                [&](const LongNamePiece& p) { return p.checksum == checksum; });
                found = FoundEntry{entry, offset, {}};
                if (ownLongName) {
                    for (const LongNamePiece& piece : longName) {
                        found->longNameOffsets.push_back(piece.offset);
                    }
                }
                return Visit::kStop;
            }
            longName.clear();
            return Visit::kContinue;
        },
        nullptr, nullptr);
}

FatStatus Fat32Volume::FindLabelEntry(std::optional<FoundEntry>& found) {
    found.reset();
    return ForEachEntry(
        geometry_.rootCluster,
        [&](std::span<const std::byte> raw, uint64_t offset) {
            if (IsEndEntry(raw) || IsDeletedEntry(raw)) {
                return Visit::kContinue;
            }
            const DirEntry entry = DecodeDirEntry(raw);
            if (entry.IsVolumeLabel()) {
                found = FoundEntry{entry, offset, {}};
                return Visit::kStop;
            }
            return Visit::kContinue;
        },
        nullptr, nullptr);
}

FatStatus Fat32Volume::ResolveParent(std::span<const std::string> path, uint32_t& directoryCluster,
                                     ShortName& leaf) {
    if (path.empty()) {
        return FatStatus::Fail(FatError::kInvalidName, "invalid path: it names the root directory");
    }
    directoryCluster = geometry_.rootCluster;
    for (std::size_t i = 0; i + 1 < path.size(); ++i) {
        ShortName name;
        if (FatStatus status = MakeShortName(path[i], name); !status.ok()) {
            return status;
        }
        std::optional<FoundEntry> found;
        if (FatStatus status = Find(directoryCluster, name, found); !status.ok()) {
            return status;
        }
        if (!found || !found->entry.IsDirectory()) {
            return FatStatus::Fail(FatError::kNotFound, "path not found: no directory \"" + path[i] + "\"");
        }
        directoryCluster = found->entry.firstCluster;
        if (!geometry_.IsDataCluster(directoryCluster)) {
            return Damaged("the directory \"" + path[i] + "\" has no valid first cluster");
        }
    }
    return MakeShortName(path.back(), leaf);
}

FatStatus Fat32Volume::ReserveSlot(uint32_t directoryCluster, uint64_t& offset) {
    std::optional<uint64_t> slot;
    uint32_t lastCluster = 0;
    uint32_t clusters = 0;
    FatStatus status = ForEachEntry(
        directoryCluster,
        [&](std::span<const std::byte> raw, uint64_t at) {
            if (IsEndEntry(raw) || IsDeletedEntry(raw)) {
                slot = at;
                return Visit::kStop;
            }
            return Visit::kContinue;
        },
        &lastCluster, &clusters);
    if (!status.ok()) {
        return status;
    }
    if (slot) {
        offset = *slot;
        return FatStatus::Ok();
    }
    // Every entry is taken: the directory grows by one zeroed cluster.
    const uint32_t entriesPerCluster = geometry_.ClusterBytes() / kDirEntryBytes;
    if (uint64_t{clusters + 1} * entriesPerCluster > kMaxDirectoryEntries) {
        return FatStatus::Fail(FatError::kDirectoryFull,
                               "the directory holds the most entries a FAT directory can");
    }
    std::vector<uint32_t> grown;
    if (status = Allocate(1, grown); !status.ok()) {
        return status;
    }
    if (status = WriteZeroCluster(grown[0], {}); !status.ok()) {
        return status;
    }
    if (status = fat_->Set(lastCluster, grown[0]); !status.ok()) {
        return status;
    }
    offset = geometry_.ClusterOffset(grown[0]);
    return FatStatus::Ok();
}

// ---- clusters ----------------------------------------------------------------------------------

FatStatus Fat32Volume::Allocate(uint32_t count, std::vector<uint32_t>& clusters) {
    if (FatStatus status = fat_->FindFree(count, allocationHint_, clusters); !status.ok()) {
        return status;
    }
    for (std::size_t i = 0; i < clusters.size(); ++i) {
        const uint32_t next = i + 1 < clusters.size() ? clusters[i + 1] : kFatEndOfChain;
        if (FatStatus status = fat_->Set(clusters[i], next); !status.ok()) {
            return status;
        }
    }
    if (!clusters.empty()) {
        allocationHint_ = clusters.back() + 1;
    }
    return FatStatus::Ok();
}

FatStatus Fat32Volume::FreeChain(uint32_t firstCluster) {
    uint32_t cluster = firstCluster;
    for (uint32_t steps = 0; steps < geometry_.clusterCount; ++steps) {
        if (!geometry_.IsDataCluster(cluster)) {
            return Damaged("a chain runs to cluster " + std::to_string(cluster));
        }
        uint32_t next = 0;
        if (FatStatus status = fat_->Get(cluster, next); !status.ok()) {
            return status;
        }
        if (next == 0) {
            return Damaged("a chain runs into the free cluster " + std::to_string(cluster));
        }
        if (FatStatus status = fat_->Set(cluster, 0); !status.ok()) {
            return status;
        }
        if (next >= kEndOfChainMin) {
            return FatStatus::Ok();
        }
        cluster = next;
    }
    return Damaged("a chain loops");
}

FatStatus Fat32Volume::WriteZeroCluster(uint32_t cluster, std::span<const std::byte> head) {
    std::vector<std::byte> zeros(geometry_.ClusterBytes(), std::byte{0});
    std::copy(head.begin(), head.end(), zeros.begin());
    if (!device_.Write(geometry_.ClusterOffset(cluster), zeros.data(), zeros.size())) {
        return IoFailure("write the directory cluster " + std::to_string(cluster));
    }
    return FatStatus::Ok();
}

FatStatus Fat32Volume::WriteData(const std::vector<uint32_t>& clusters, const std::byte* data,
                                 std::size_t byteCount) {
    const uint32_t clusterBytes = geometry_.ClusterBytes();
    const uint32_t sectorBytes = geometry_.bytesPerSector;
    std::size_t done = 0;
    std::size_t i = 0;
    while (done < byteCount) {
        // One write per run of adjacent clusters, straight from the caller's bytes.
        std::size_t run = 1;
        while (i + run < clusters.size() && clusters[i + run] == clusters[i] + run) {
            ++run;
        }
        const std::size_t runBytes = std::min(run * clusterBytes, byteCount - done);
        const std::size_t wholeSectors = runBytes / sectorBytes * sectorBytes;
        const uint64_t offset = geometry_.ClusterOffset(clusters[i]);
        if (wholeSectors > 0 && !device_.Write(offset, data + done, wholeSectors)) {
            return IoFailure("write file data at cluster " + std::to_string(clusters[i]));
        }
        if (wholeSectors < runBytes) {
            // The last, partial sector: the rest of it is zero.
            std::vector<std::byte> tail(sectorBytes, std::byte{0});
            std::memcpy(tail.data(), data + done + wholeSectors, runBytes - wholeSectors);
            if (!device_.Write(offset + wholeSectors, tail.data(), tail.size())) {
                return IoFailure("write file data at cluster " + std::to_string(clusters[i]));
            }
        }
        done += runBytes;
        i += run;
    }
    return FatStatus::Ok();
}

// ---- entries -----------------------------------------------------------------------------------

FatStatus Fat32Volume::WriteEntry(uint64_t offset, const DirEntry& entry) {
    const uint32_t sectorBytes = geometry_.bytesPerSector;
    std::vector<std::byte> sector(sectorBytes);
    const uint64_t sectorStart = offset / sectorBytes * sectorBytes;
    if (!device_.Read(sectorStart, sector.data(), sectorBytes)) {
        return IoFailure("read a directory sector");
    }
    EncodeDirEntry(entry, std::span<std::byte>(&sector[offset - sectorStart], kDirEntryBytes));
    if (!device_.Write(sectorStart, sector.data(), sectorBytes)) {
        return IoFailure("write the directory entry \"" + NameText(entry.name) + "\"");
    }
    return FatStatus::Ok();
}

FatStatus Fat32Volume::MarkDeleted(uint64_t offset) {
    const uint32_t sectorBytes = geometry_.bytesPerSector;
    std::vector<std::byte> sector(sectorBytes);
    const uint64_t sectorStart = offset / sectorBytes * sectorBytes;
    if (!device_.Read(sectorStart, sector.data(), sectorBytes)) {
        return IoFailure("read a directory sector");
    }
    sector[offset - sectorStart] = std::byte{kEntryDeleted};
    if (!device_.Write(sectorStart, sector.data(), sectorBytes)) {
        return IoFailure("write a directory sector");
    }
    return FatStatus::Ok();
}

DirEntry Fat32Volume::NewEntry(const ShortName& name, uint8_t attributes) const {
    DirEntry entry;
    entry.name = name;
    entry.attributes = attributes;
    const FatTimestamp now = MakeFatTimestamp(localTime_ ? localTime_() : SystemTime{});
    entry.created = now;
    entry.written = now;
    entry.written.hundredths = 0;
    entry.accessDate = now.date;
    return entry;
}

// ---- commit ------------------------------------------------------------------------------------

FatStatus Fat32Volume::Fail(FatStatus status) {
    fat_->Discard();
    return status;
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
    StoreLe32(&fsInfoSector_[kFsInfoFreeCountOffset], freeCount);
    StoreLe32(&fsInfoSector_[kFsInfoNextFreeOffset], nextFree);
    if (!device_.Write(uint64_t{geometry_.fsInfoSector} * geometry_.bytesPerSector, fsInfoSector_.data(),
                       fsInfoSector_.size())) {
        return IoFailure("write the FSInfo sector");
    }
    geometry_.fsInfoFreeCount = freeCount;
    geometry_.fsInfoNextFree = nextFree;
    if (!device_.Flush()) {
        return IoFailure("flush the volume");
    }
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
        if (FatStatus status = fat_->Flush(); !status.ok()) {
            return status;
        }
        if (FatStatus status = WriteEntry(offset, entry); !status.ok()) {
            return status;
        }
    }
    const char* bootLabel = remove ? kNoLabel : field.data();
    for (auto* sector : {&bootSector_, &backupBootSector_}) {
        std::memcpy(&(*sector)[kBootLabelOffset], bootLabel, kBootLabelLength);
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
    if (!open_) {
        return NotOpen();
    }
    uint32_t parent = 0;
    ShortName name;
    if (FatStatus status = ResolveParent(path, parent, name); !status.ok()) {
        return status;
    }
    std::optional<FoundEntry> existing;
    if (FatStatus status = Find(parent, name, existing); !status.ok()) {
        return status;
    }
    if (existing) {
        return FatStatus::Fail(FatError::kAlreadyExists, Quoted(path.back()) + " already exists");
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
    if (FatStatus status = fat_->Flush(); !status.ok()) {
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
    if (!open_) {
        return NotOpen();
    }
    uint32_t parent = 0;
    ShortName name;
    if (FatStatus status = ResolveParent(path, parent, name); !status.ok()) {
        return status;
    }
    std::optional<FoundEntry> existing;
    if (FatStatus status = Find(parent, name, existing); !status.ok()) {
        return status;
    }
    if (existing) {
        return FatStatus::Fail(FatError::kAlreadyExists, Quoted(path.back()) + " already exists");
    }
    uint64_t entryOffset = 0;
    if (FatStatus status = ReserveSlot(parent, entryOffset); !status.ok()) {
        return Fail(status);
    }
    if (FatStatus status = fat_->Flush(); !status.ok()) {
        return status;
    }
    if (FatStatus status = WriteEntry(entryOffset, NewEntry(name, attributes)); !status.ok()) {
        return status;
    }
    return Commit();
}

FatStatus Fat32Volume::WriteContent(std::span<const std::string> path, const std::byte* data,
                                    std::size_t byteCount) {
    if (!open_) {
        return NotOpen();
    }
    uint32_t parent = 0;
    ShortName name;
    if (FatStatus status = ResolveParent(path, parent, name); !status.ok()) {
        return status;
    }
    std::optional<FoundEntry> found;
    if (FatStatus status = Find(parent, name, found); !status.ok()) {
        return status;
    }
    if (!found) {
        return FatStatus::Fail(FatError::kNotFound, "file not found: \"" + path.back() + "\"");
    }
    DirEntry entry = found->entry;
    const uint64_t entryOffset = found->offset;
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
    if (FatStatus status = fat_->Flush(); !status.ok()) {
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
    if (!open_) {
        return NotOpen();
    }
    uint32_t parent = 0;
    ShortName name;
    if (FatStatus status = ResolveParent(path, parent, name); !status.ok()) {
        return status;
    }
    std::optional<FoundEntry> found;
    if (FatStatus status = Find(parent, name, found); !status.ok()) {
        return status;
    }
    if (!found) {
        return FatStatus::Fail(FatError::kNotFound, "file not found: \"" + path.back() + "\"");
    }
    if (found->entry.IsDirectory()) {
        return FatStatus::Fail(FatError::kAccessDenied, Quoted(path.back()) + " is a directory");
    }
    if (found->entry.firstCluster != 0 && !geometry_.IsDataCluster(found->entry.firstCluster)) {
        return Damaged(Quoted(path.back()) + " starts outside the data area");
    }
    if ((found->entry.attributes & kAttrReadOnly) != 0) {
        return FatStatus::Fail(FatError::kAccessDenied, Quoted(path.back()) + " is read-only");
    }
    // The entry goes first: an interruption then leaves lost clusters, never a file whose
    // clusters are marked free.
    for (const uint64_t offset : found->longNameOffsets) {
        if (FatStatus status = MarkDeleted(offset); !status.ok()) {
            return status;
        }
    }
    if (FatStatus status = MarkDeleted(found->offset); !status.ok()) {
        return status;
    }
    if (found->entry.firstCluster != 0) {
        if (FatStatus status = FreeChain(found->entry.firstCluster); !status.ok()) {
            return Fail(status);
        }
    }
    return Commit();
}

}  // namespace tolven::linux_host
