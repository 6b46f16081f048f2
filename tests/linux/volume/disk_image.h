// Test helpers for disk images: a temporary folder, sparse image files, byte access, a sector
// pattern, and an MBR partition table written the way partitioning tools write it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/linux/host/drive_table.h"

namespace tolven::linux_host::testing {

// A fresh folder under the test's temporary directory, removed with everything in it.
class TempDir {
  public:
    explicit TempDir(const std::filesystem::path& parent = {});
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

// Drive-table entries for a disk image file and for a block device node.
DriveTarget ImageTarget(const std::string& path);
DriveTarget DeviceTarget(const std::string& path);

// Creates (or truncates) `path` as a sparse file of `size` bytes.
void CreateSparseFile(const std::string& path, uint64_t size);

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

}  // namespace tolven::linux_host::testing
