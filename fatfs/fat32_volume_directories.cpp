// FAT32 file layer: walking directories, finding names and free entry slots, and
// writing single entries.
#include <algorithm>
#include <cstring>

#include "fatfs/fat32_volume.h"
#include "fatfs/fat32_volume_detail.h"

namespace tolven {

using namespace volume_detail;

FatStatus Fat32Volume::NextInChain(uint32_t cluster, uint32_t& next, bool& end) {
    if (FatStatus status = fat_->Get(cluster, next); !status.ok()) {
        return status;
    }
    end = next >= kFatEntryEndOfChainMin;
    if (!end && !geometry_.IsDataCluster(next)) {
        return Damaged("cluster " + std::to_string(cluster) + " is followed by " + std::to_string(next));
    }
    return FatStatus::Ok();
}

FatStatus Fat32Volume::ForEachEntry(uint32_t directoryCluster, const EntryVisitor& visit,
                                    uint32_t* lastCluster, uint32_t* clusterCount) {
    const uint32_t clusterBytes = geometry_.ClusterBytes();
    const uint32_t maxClusters =
        std::max<uint32_t>(1, kLargestDirectoryEntries * kDirEntryBytes / clusterBytes);
    std::vector<std::byte> buffer(clusterBytes);
    std::vector<uint32_t> chain;
    uint32_t cluster = directoryCluster;
    for (uint32_t visited = 1;; ++visited) {
        if (!geometry_.IsDataCluster(cluster) || visited > maxClusters) {
            return Damaged("the directory at cluster " + std::to_string(directoryCluster) +
                           " has a broken chain");
        }
        // A chain that comes back to itself or runs into the root would have this directory's
        // entries written over another's.
        if (std::find(chain.begin(), chain.end(), cluster) != chain.end()) {
            return Damaged("the directory at cluster " + std::to_string(directoryCluster) + " loops");
        }
        if (directoryCluster != geometry_.rootCluster && cluster == geometry_.rootCluster) {
            return Damaged("the directory at cluster " + std::to_string(directoryCluster) +
                           " leads back to the root directory");
        }
        chain.push_back(cluster);
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
                longName.push_back({offset, std::to_integer<uint8_t>(raw[dir_entry::kLongNameChecksum])});
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
        if (directoryCluster == geometry_.rootCluster) {
            return Damaged("the directory \"" + path[i] + "\" leads back to the root directory");
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
    if (uint64_t{clusters + 1} * entriesPerCluster > kLargestDirectoryEntries) {
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
    // The link makes the cluster part of the directory: it must read as empty first, even if the
    // FAT cache writes the link back early.
    if (status = FlushData(); !status.ok()) {
        return status;
    }
    if (status = fat_->Set(lastCluster, grown[0]); !status.ok()) {
        return status;
    }
    offset = geometry_.ClusterOffset(grown[0]);
    return FatStatus::Ok();
}

FatStatus Fat32Volume::RewriteEntry(uint64_t offset, const std::function<void(std::span<std::byte>)>& change,
                                    const std::string& writtenWhat) {
    const uint32_t sectorBytes = geometry_.bytesPerSector;
    std::vector<std::byte> sector(sectorBytes);
    const uint64_t sectorStart = offset / sectorBytes * sectorBytes;
    if (!device_.Read(sectorStart, sector.data(), sectorBytes)) {
        return IoFailure("read a directory sector");
    }
    change(std::span<std::byte>(&sector[offset - sectorStart], kDirEntryBytes));
    if (!device_.Write(sectorStart, sector.data(), sectorBytes)) {
        return IoFailure("write " + writtenWhat);
    }
    return FatStatus::Ok();
}

FatStatus Fat32Volume::WriteEntry(uint64_t offset, const DirEntry& entry) {
    return RewriteEntry(
        offset, [&entry](std::span<std::byte> raw) { EncodeDirEntry(entry, raw); },
        "the directory entry \"" + NameText(entry.name) + "\"");
}

FatStatus Fat32Volume::MarkDeleted(uint64_t offset) {
    return RewriteEntry(
        offset, [](std::span<std::byte> raw) { raw[0] = std::byte{kEntryDeleted}; }, "a directory sector");
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

}  // namespace tolven
