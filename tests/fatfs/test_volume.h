// Test helpers for the FAT32 file layer: a small formatter for in-memory volumes (the same
// layout our formatter writes: 32 reserved sectors, two FATs, root at cluster 2, no label entry)
// and an independent checker that reads the structures back without the layer under test.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/fatfs/memory_block_device.h"

namespace tolven::testing {

struct TestLayout {
    uint32_t totalSectors = 0;
    uint32_t sectorsPerCluster = 0;
    uint32_t bytesPerSector = 512;
    uint32_t fatSize = 0;
    uint32_t clusterCount = 0;

    uint32_t ClusterBytes() const { return sectorsPerCluster * bytesPerSector; }
    uint64_t FatOffset(uint32_t fat) const { return (32ull + uint64_t{fat} * fatSize) * bytesPerSector; }
    uint64_t ClusterOffset(uint32_t cluster) const {
        return FatOffset(2) + uint64_t{cluster - 2} * ClusterBytes();
    }
};

// Writes boot sector and backup (label "PMP" in the boot sector), FSInfo and backup, both FAT
// heads and a zeroed root cluster.
TestLayout FormatTestVolume(MemoryBlockDevice& device, uint32_t sectorsPerCluster);

uint32_t ReadFatEntry(const MemoryBlockDevice& device, const TestLayout& layout, uint32_t fat,
                      uint32_t cluster);
std::vector<uint32_t> ReadChain(const MemoryBlockDevice& device, const TestLayout& layout, uint32_t first);

struct TestEntry {
    std::string name;  // the raw 11 bytes
    uint8_t attributes = 0;
    uint32_t firstCluster = 0;
    uint32_t size = 0;
    uint16_t writeTime = 0;
    uint16_t writeDate = 0;
    uint16_t createDate = 0;
    uint64_t offset = 0;
};
// The entries in use of the directory starting at `cluster` (deleted and unused ones skipped).
std::vector<TestEntry> ReadDirectory(const MemoryBlockDevice& device, const TestLayout& layout,
                                     uint32_t cluster);
// The content of a file entry, following its chain.
std::vector<std::byte> ReadFileBytes(const MemoryBlockDevice& device, const TestLayout& layout,
                                     const TestEntry& entry);

// Empty when the volume is consistent: both FATs identical, FSInfo's free count equal to the free
// entries, its next-free hint a free cluster, and no FAT entry in use that no chain reaches.
std::string CheckConsistency(const MemoryBlockDevice& device, const TestLayout& layout);

std::vector<std::byte> PatternBytes(std::size_t count, uint32_t seed);

}  // namespace tolven::testing
