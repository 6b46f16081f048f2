// Test helpers for disk images: byte access, a sector pattern, and an MBR partition table written
// the way partitioning tools write it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/linux/host/drive_table.h"
#include "tests/support/temp_image.h"

namespace tolven::linux_host::testing {

// The temporary folder and sparse files are shared with the other image tests.
using tolven::testing::CreateSparseFile;
using tolven::testing::TempDir;

// Drive-table entries for a disk image file and for a block device node.
DriveTarget ImageTarget(const std::string& path);
DriveTarget DeviceTarget(const std::string& path);

void WriteBytes(const std::string& path, uint64_t offset, const std::vector<std::byte>& bytes);
std::vector<std::byte> ReadBytes(const std::string& path, uint64_t offset, std::size_t count);

// 512 bytes that name their own sector number, so a misplaced sector is recognised.
std::vector<std::byte> PatternSector(uint64_t sectorNumber);

// The byte ranges [first, second) of a sparse file that hold data (SEEK_DATA/SEEK_HOLE).
std::vector<std::pair<uint64_t, uint64_t>> DataExtents(const std::string& path);

// Copies `length` bytes at `offset` of `source` into a new sparse file, data extents only.
void CopySparseRange(const std::string& source, uint64_t offset, uint64_t length, const std::string& target);

struct MbrPartition {
    uint8_t type = 0x0C;
    uint32_t startLba = 0;
    uint32_t sectorCount = 0;
    uint8_t bootIndicator = 0x00;
};

// Sector 0 of a disk: no boot code, the given entries (at most four), the 0x55AA signature.
std::vector<std::byte> MbrSector(const std::vector<MbrPartition>& partitions);

// Creates `path` as a sparse disk image of `size` bytes whose sector 0 holds an MBR with
// `partitions`.
void CreateDiskImage(const std::string& path, uint64_t size, const std::vector<MbrPartition>& partitions);

}  // namespace tolven::linux_host::testing
