// FAT32 file layer: the file allocation table, read in chunks as needed into a cache
// of bounded size and written back sector by sector to every FAT copy, so that the copies stay
// identical. The least recently used clean chunk makes room for a new one; when every cached
// chunk has changes, the oldest is written back first.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "fatfs/block_device.h"
#include "fatfs/fat32_geometry.h"
#include "fatfs/fat_status.h"

namespace tolven {

// The cache's bound: memory stays the same whatever the size of the volume.
inline constexpr std::size_t kFatCacheBytes = 1024 * 1024;

class FatTable {
  public:
    FatTable(IBlockDevice& device, const Fat32Geometry& geometry, std::size_t cacheBytes);
    FatTable(const FatTable&) = delete;
    FatTable& operator=(const FatTable&) = delete;

    // The 28-bit entry of a cluster (0 free, >= 0x0FFFFFF8 end of chain).
    FatStatus Get(uint32_t cluster, uint32_t& value);
    // Changes an entry in memory; the upper four bits of the stored entry are kept.
    FatStatus Set(uint32_t cluster, uint32_t value);

    // The number of free clusters: the one given by TrustFreeCount, or else counted over the
    // whole table once; then kept up to date by Set.
    FatStatus FreeCount(uint32_t& count);
    void TrustFreeCount(uint32_t count);

    // Finds `count` free clusters, starting the search at `hint`: one contiguous run when the
    // volume has one, otherwise the free clusters in order. Changes nothing.
    FatStatus FindFree(uint32_t count, uint32_t hint, std::vector<uint32_t>& clusters);

    // The first free cluster at or after `from`, wrapping around; fs_info::kUnknown when none.
    FatStatus NextFree(uint32_t from, uint32_t& cluster);

    // Writes every changed sector to every FAT copy, adjacent sectors in one write.
    FatStatus Flush();
    // Forgets every change not yet flushed. False when some of them had been written back already
    // to make room in the cache: those are on the disk and cannot be forgotten.
    bool Discard();
    bool HasChanges() const;

  private:
    struct Chunk {
        std::vector<std::byte> bytes;
        uint64_t dirtySectors = 0;  // bit i: sector i of the chunk changed
        uint64_t lastUse = 0;
    };
    FatStatus LoadChunk(uint32_t index, Chunk*& chunk);
    FatStatus MakeRoom(std::size_t bytes);
    FatStatus WriteBack(uint32_t index, Chunk& chunk);
    FatStatus Locate(uint32_t cluster, Chunk*& chunk, std::size_t& byteInChunk);
    uint32_t ChunkSectorCount(uint32_t index) const;

    IBlockDevice& device_;
    const Fat32Geometry& geometry_;
    uint32_t chunkSectors_;
    std::size_t cacheBytes_;
    std::vector<std::unique_ptr<Chunk>> chunks_;  // by chunk index; null when not cached
    std::vector<uint32_t> cached_;                // indices of the cached chunks
    std::size_t cachedBytes_ = 0;
    uint64_t useClock_ = 0;
    bool wroteBackEarly_ = false;
    std::optional<uint32_t> freeCount_;
    std::optional<uint32_t> flushedFreeCount_;
};

}  // namespace tolven
