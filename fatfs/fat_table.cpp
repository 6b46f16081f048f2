// FAT32 file layer: the FAT cache and its write-back.
#include "fatfs/fat_table.h"

#include <algorithm>
#include <string>
#include <utility>

#include "base/little_endian.h"

namespace tolven {

namespace {
// 64 sectors per chunk: one read brings in 8,192 entries at 512 bytes per sector, and a chunk's
// dirty sectors fit one 64-bit mask.
constexpr uint32_t kChunkSectors = 64;

FatStatus ReadFailed(const std::string& what) {
    return FatStatus::Fail(FatError::kIo, "cannot read " + what);
}

FatStatus VolumeFull(uint32_t needed, std::size_t free) {
    return FatStatus::Fail(FatError::kVolumeFull, "the volume is full: " + std::to_string(needed) +
                                                      " clusters needed, " + std::to_string(free) + " free");
}
}  // namespace

FatTable::FatTable(IBlockDevice& device, const Fat32Geometry& geometry, std::size_t cacheBytes)
    : device_(device),
      geometry_(geometry),
      chunkSectors_(kChunkSectors),
      cacheBytes_(cacheBytes),
      chunks_((geometry.fatSize + kChunkSectors - 1) / kChunkSectors) {}

uint32_t FatTable::ChunkSectorCount(uint32_t index) const {
    const uint64_t first = uint64_t{index} * chunkSectors_;
    const uint64_t left = geometry_.fatSize - first;
    return static_cast<uint32_t>(left < chunkSectors_ ? left : chunkSectors_);
}

FatStatus FatTable::MakeRoom(std::size_t bytes) {
    // Clean chunks go first, each group least recently used first: a changed chunk is written
    // back only when no clean one is left.
    const auto evictionOrder = [this](uint32_t a, uint32_t b) {
        const Chunk& x = *chunks_[a];
        const Chunk& y = *chunks_[b];
        return std::pair(x.dirtySectors != 0, x.lastUse) < std::pair(y.dirtySectors != 0, y.lastUse);
    };
    while (!cached_.empty() && cachedBytes_ + bytes > cacheBytes_) {
        const auto victim = std::min_element(cached_.begin(), cached_.end(), evictionOrder);
        Chunk& chunk = *chunks_[*victim];
        if (chunk.dirtySectors != 0) {
            if (FatStatus status = WriteBack(*victim, chunk); !status.ok()) {
                return status;
            }
            wroteBackEarly_ = true;
        }
        cachedBytes_ -= chunk.bytes.size();
        chunks_[*victim].reset();
        cached_.erase(victim);
    }
    return FatStatus::Ok();
}

FatStatus FatTable::LoadChunk(uint32_t index, Chunk*& chunk) {
    if (!chunks_[index]) {
        const std::size_t bytes = std::size_t{ChunkSectorCount(index)} * geometry_.bytesPerSector;
        if (FatStatus status = MakeRoom(bytes); !status.ok()) {
            return status;
        }
        auto loaded = std::make_unique<Chunk>();
        loaded->bytes.resize(bytes);
        const uint64_t offset = geometry_.FatOffset(geometry_.fatMirrored ? 0 : geometry_.activeFat) +
                                uint64_t{index} * chunkSectors_ * geometry_.bytesPerSector;
        if (!device_.Read(offset, loaded->bytes.data(), loaded->bytes.size())) {
            return ReadFailed("the FAT at byte " + std::to_string(offset));
        }
        chunks_[index] = std::move(loaded);
        cached_.push_back(index);
        cachedBytes_ += bytes;
    }
    chunk = chunks_[index].get();
    chunk->lastUse = ++useClock_;
    return FatStatus::Ok();
}

FatStatus FatTable::Locate(uint32_t cluster, Chunk*& chunk, std::size_t& byteInChunk) {
    if (cluster > geometry_.LastCluster()) {
        return FatStatus::Fail(
            FatError::kInconsistent,
            "damaged FAT32 volume: cluster " + std::to_string(cluster) + " is beyond the volume");
    }
    const uint64_t byteInFat = uint64_t{cluster} * kFatEntryBytes;
    const uint64_t chunkBytes = uint64_t{chunkSectors_} * geometry_.bytesPerSector;
    const auto index = static_cast<uint32_t>(byteInFat / chunkBytes);
    byteInChunk = static_cast<std::size_t>(byteInFat % chunkBytes);
    return LoadChunk(index, chunk);
}

FatStatus FatTable::Get(uint32_t cluster, uint32_t& value) {
    Chunk* chunk = nullptr;
    std::size_t at = 0;
    if (FatStatus status = Locate(cluster, chunk, at); !status.ok()) {
        return status;
    }
    value = LoadLe32(&chunk->bytes[at]) & kFatEntryMask;
    return FatStatus::Ok();
}

FatStatus FatTable::Set(uint32_t cluster, uint32_t value) {
    if (!geometry_.IsDataCluster(cluster)) {
        return FatStatus::Fail(FatError::kInconsistent, "damaged FAT32 volume: cluster " +
                                                            std::to_string(cluster) + " cannot be changed");
    }
    Chunk* chunk = nullptr;
    std::size_t at = 0;
    if (FatStatus status = Locate(cluster, chunk, at); !status.ok()) {
        return status;
    }
    const uint32_t stored = LoadLe32(&chunk->bytes[at]);
    const uint32_t old = stored & kFatEntryMask;
    StoreLe32(&chunk->bytes[at], (stored & ~kFatEntryMask) | (value & kFatEntryMask));
    chunk->dirtySectors |= uint64_t{1} << (at / geometry_.bytesPerSector);
    if (freeCount_) {
        if (old == 0 && value != 0 && *freeCount_ > 0) {
            --*freeCount_;
        } else if (old != 0 && value == 0) {
            ++*freeCount_;
        }
    }
    return FatStatus::Ok();
}

FatStatus FatTable::FreeCount(uint32_t& count) {
    if (!freeCount_) {
        // Chunk by chunk over the raw bytes, once per mount and only when FSInfo is not trusted.
        const uint64_t chunkEntries = uint64_t{chunkSectors_} * geometry_.bytesPerSector / kFatEntryBytes;
        uint32_t free = 0;
        for (uint32_t index = 0; index < chunks_.size(); ++index) {
            const uint64_t firstEntry = index * chunkEntries;
            if (firstEntry > geometry_.LastCluster()) {
                break;
            }
            Chunk* chunk = nullptr;
            if (FatStatus status = LoadChunk(index, chunk); !status.ok()) {
                return status;
            }
            const uint64_t from = std::max<uint64_t>(firstEntry, kFirstDataCluster);
            const uint64_t to = std::min<uint64_t>(firstEntry + chunk->bytes.size() / kFatEntryBytes,
                                                   uint64_t{geometry_.LastCluster()} + 1);
            for (uint64_t entry = from; entry < to; ++entry) {
                free += (LoadLe32(&chunk->bytes[(entry - firstEntry) * kFatEntryBytes]) & kFatEntryMask) == 0
                            ? 1
                            : 0;
            }
        }
        freeCount_ = free;
        if (!HasChanges()) {
            flushedFreeCount_ = free;
        }
    }
    count = *freeCount_;
    return FatStatus::Ok();
}

void FatTable::TrustFreeCount(uint32_t count) {
    freeCount_ = count;
    flushedFreeCount_ = count;
}

FatStatus FatTable::FindFree(uint32_t count, uint32_t hint, std::vector<uint32_t>& clusters) {
    clusters.clear();
    uint32_t free = 0;
    if (FatStatus status = FreeCount(free); !status.ok()) {
        return status;
    }
    if (count > free) {
        return VolumeFull(count, free);
    }
    if (count == 0) {
        return FatStatus::Ok();
    }
    if (!geometry_.IsDataCluster(hint)) {
        hint = kFirstDataCluster;
    }
    // First pass: the first run of `count` free clusters from the hint on, then from the start.
    // A run does not wrap past the last cluster.
    std::vector<uint32_t> scattered;
    const uint32_t total = geometry_.clusterCount;
    uint32_t runStart = 0;
    uint32_t runLength = 0;
    for (uint32_t step = 0; step < total; ++step) {
        const uint32_t cluster = kFirstDataCluster + (hint - kFirstDataCluster + step) % total;
        if (cluster == kFirstDataCluster) {
            runLength = 0;  // wrapped around: a run cannot continue across the end
        }
        uint32_t value = 0;
        if (FatStatus status = Get(cluster, value); !status.ok()) {
            return status;
        }
        if (value != 0) {
            runLength = 0;
            continue;
        }
        if (scattered.size() < count) {
            scattered.push_back(cluster);
        }
        if (runLength == 0) {
            runStart = cluster;
        }
        if (++runLength == count) {
            for (uint32_t i = 0; i < count; ++i) {
                clusters.push_back(runStart + i);
            }
            return FatStatus::Ok();
        }
    }
    if (scattered.size() < count) {
        // The count given by FSInfo was too high: the table itself has the last word.
        freeCount_ = static_cast<uint32_t>(scattered.size());
        return VolumeFull(count, scattered.size());
    }
    // No run long enough: the free clusters in search order.
    clusters = std::move(scattered);
    return FatStatus::Ok();
}

FatStatus FatTable::NextFree(uint32_t from, uint32_t& found) {
    found = fs_info::kUnknown;
    uint32_t free = 0;
    if (FatStatus status = FreeCount(free); !status.ok() || free == 0) {
        return status;
    }
    if (!geometry_.IsDataCluster(from)) {
        from = kFirstDataCluster;
    }
    const uint32_t total = geometry_.clusterCount;
    for (uint32_t step = 0; step < total; ++step) {
        const uint32_t cluster = kFirstDataCluster + (from - kFirstDataCluster + step) % total;
        uint32_t value = 0;
        if (FatStatus status = Get(cluster, value); !status.ok()) {
            return status;
        }
        if (value == 0) {
            found = cluster;
            return FatStatus::Ok();
        }
    }
    return FatStatus::Ok();
}

bool FatTable::HasChanges() const {
    for (const uint32_t index : cached_) {
        if (chunks_[index]->dirtySectors != 0) {
            return true;
        }
    }
    return false;
}

FatStatus FatTable::WriteBack(uint32_t index, Chunk& chunk) {
    const uint32_t sectorBytes = geometry_.bytesPerSector;
    const uint32_t sectors = ChunkSectorCount(index);
    uint32_t sector = 0;
    while (sector < sectors) {
        if ((chunk.dirtySectors & (uint64_t{1} << sector)) == 0) {
            ++sector;
            continue;
        }
        uint32_t end = sector;
        while (end < sectors && (chunk.dirtySectors & (uint64_t{1} << end)) != 0) {
            ++end;
        }
        const uint64_t inFat = (uint64_t{index} * chunkSectors_ + sector) * sectorBytes;
        for (uint32_t fat = 0; fat < geometry_.fatCount; ++fat) {
            if (!geometry_.fatMirrored && fat != geometry_.activeFat) {
                continue;
            }
            const uint64_t offset = geometry_.FatOffset(fat) + inFat;
            if (!device_.Write(offset, &chunk.bytes[std::size_t{sector} * sectorBytes],
                               std::size_t{end - sector} * sectorBytes)) {
                return FatStatus::Fail(FatError::kIo, "cannot write FAT " + std::to_string(fat + 1) +
                                                          " at byte " + std::to_string(offset));
            }
        }
        sector = end;
    }
    chunk.dirtySectors = 0;
    return FatStatus::Ok();
}

FatStatus FatTable::Flush() {
    std::vector<uint32_t> order = cached_;
    std::sort(order.begin(), order.end());
    for (const uint32_t index : order) {
        if (chunks_[index]->dirtySectors == 0) {
            continue;
        }
        if (FatStatus status = WriteBack(index, *chunks_[index]); !status.ok()) {
            return status;
        }
    }
    flushedFreeCount_ = freeCount_;
    wroteBackEarly_ = false;
    return FatStatus::Ok();
}

bool FatTable::Discard() {
    for (std::size_t i = cached_.size(); i-- > 0;) {
        const uint32_t index = cached_[i];
        if (chunks_[index]->dirtySectors != 0) {
            cachedBytes_ -= chunks_[index]->bytes.size();
            chunks_[index].reset();
            cached_.erase(cached_.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
    freeCount_ = flushedFreeCount_;
    const bool complete = !wroteBackEarly_;
    wroteBackEarly_ = false;
    return complete;
}

}  // namespace tolven
