// Linux host, FAT32 file layer: the file allocation table, read in chunks as needed and written
// back sector by sector to every FAT copy, so that the copies stay identical.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/linux/fatfs/fat32_geometry.h"
#include "platform/linux/fatfs/fat_status.h"
#include "platform/linux/volume/block_device.h"

namespace tolven::linux_host {

class FatTable {
  public:
    FatTable(IBlockDevice& device, const Fat32Geometry& geometry);
    FatTable(const FatTable&) = delete;
    FatTable& operator=(const FatTable&) = delete;

    // The 28-bit entry of a cluster (0 free, >= 0x0FFFFFF8 end of chain).
    FatStatus Get(uint32_t cluster, uint32_t& value);
    // Changes an entry in memory; the upper four bits of the stored entry are kept.
    FatStatus Set(uint32_t cluster, uint32_t value);

    // The exact number of free clusters, counted over the whole table once and then kept
    // up to date by Set.
    FatStatus FreeCount(uint32_t& count);

    // Finds `count` free clusters, starting the search at `hint`: one contiguous run when the
    // volume has one, otherwise the free clusters in order. Changes nothing.
    FatStatus FindFree(uint32_t count, uint32_t hint, std::vector<uint32_t>& clusters);

    // The first free cluster at or after `from`, wrapping around; kFsInfoUnknown when none.
    FatStatus NextFree(uint32_t from, uint32_t& cluster);

    // Writes every changed sector to every FAT copy, adjacent sectors in one write.
    FatStatus Flush();
    // Forgets every change not yet flushed.
    void Discard();
    bool HasChanges() const;

  private:
    struct Chunk {
        std::vector<std::byte> bytes;
        uint64_t dirtySectors = 0;  // bit i: sector i of the chunk changed
    };
    FatStatus LoadChunk(uint32_t index, Chunk*& chunk);
    FatStatus Locate(uint32_t cluster, Chunk*& chunk, std::size_t& byteInChunk);
    uint32_t ChunkSectorCount(uint32_t index) const;

    IBlockDevice& device_;
    const Fat32Geometry& geometry_;
    uint32_t chunkSectors_;
    std::vector<std::unique_ptr<Chunk>> chunks_;
    std::optional<uint32_t> freeCount_;
    std::optional<uint32_t> flushedFreeCount_;
};

}  // namespace tolven::linux_host
