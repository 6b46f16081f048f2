// FAT32 file layer: one open FAT32 volume on a block device. It labels the volume,
// reports its space, creates directories and new files and deletes files, keeping both FATs,
// FSInfo and the directories consistent after every call, also when a call fails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fat32/volume_access.h"
#include "fatfs/block_device.h"
#include "fatfs/dir_entry.h"
#include "fatfs/fat32_geometry.h"
#include "fatfs/fat_status.h"
#include "fatfs/fat_table.h"

namespace tolven {

// The local time for the time stamps of new entries.
using LocalTimeSource = std::function<SystemTime()>;

class Fat32Volume {
  public:
    Fat32Volume(IBlockDevice& device, LocalTimeSource localTime, std::size_t fatCacheBytes = kFatCacheBytes);
    // The FAT cache refers to the geometry held here.
    Fat32Volume(const Fat32Volume&) = delete;
    Fat32Volume& operator=(const Fat32Volume&) = delete;

    // Reads and checks the boot sector, its backup, FSInfo and the root directory's entry in the
    // FAT. Nothing else works before it succeeds, and nothing is ever written to a volume it
    // refused. The free count and next-free hint come from FSInfo when they are plausible.
    FatStatus Open();
    const Fat32Geometry& Geometry() const { return geometry_; }
    // True after a failure whose FAT changes could not all be forgotten (part of them reached the
    // disk to make room in the cache): what is held in memory no longer describes the volume.
    bool Stale() const { return stale_; }

    // The root directory's label entry, trailing blanks removed; empty without one.
    FatStatus ReadLabel(std::string& label);
    // Creates or replaces the root label entry and the label field of the boot sector and its
    // backup; an empty label removes the entry.
    FatStatus SetLabel(std::string_view label);

    uint64_t TotalBytes() const { return uint64_t{geometry_.dataAreaClusters} * geometry_.ClusterBytes(); }
    FatStatus FreeBytes(uint64_t& bytes);

    // `path` holds the names below the root ({"SYSTEM", "UNICODEF.FON"}); the parent must exist.
    FatStatus CreateDirectory(std::span<const std::string> path);
    // Creates an empty file; fails when the name exists.
    FatStatus CreateFile(std::span<const std::string> path, uint8_t attributes = kAttrArchive);
    // Gives an empty file its whole content at once; a file that has content is refused.
    FatStatus WriteContent(std::span<const std::string> path, const std::byte* data, std::size_t byteCount);
    FatStatus DeleteFile(std::span<const std::string> path);

  private:
    struct FoundEntry {
        DirEntry entry;
        uint64_t offset = 0;
        std::vector<uint64_t> longNameOffsets;  // the long-name pieces just before it
    };
    enum class Visit { kContinue, kStop };
    using EntryVisitor = std::function<Visit(std::span<const std::byte> raw, uint64_t offset)>;

    FatStatus ForEachEntry(uint32_t directoryCluster, const EntryVisitor& visit, uint32_t* lastCluster,
                           uint32_t* clusterCount);
    FatStatus NextInChain(uint32_t cluster, uint32_t& next, bool& end);
    FatStatus Find(uint32_t directoryCluster, const ShortName& name, std::optional<FoundEntry>& found);
    FatStatus FindLabelEntry(std::optional<FoundEntry>& found);
    FatStatus ResolveParent(std::span<const std::string> path, uint32_t& directoryCluster, ShortName& leaf);
    // Checks that the volume is open, resolves the path's parent and looks its last name up there.
    FatStatus LookUp(std::span<const std::string> path, uint32_t& parent, ShortName& name,
                     std::optional<FoundEntry>& found);
    // LookUp for a name about to be created: fails when it exists already.
    FatStatus LookUpNew(std::span<const std::string> path, uint32_t& parent, ShortName& name);
    // LookUp for a name that must exist.
    FatStatus LookUpExisting(std::span<const std::string> path, FoundEntry& found);
    FatStatus ReserveSlot(uint32_t directoryCluster, uint64_t& offset);
    FatStatus Allocate(uint32_t count, std::vector<uint32_t>& clusters);
    FatStatus FreeChain(uint32_t firstCluster);
    FatStatus WriteZeroCluster(uint32_t cluster, std::span<const std::byte> head);
    FatStatus WriteData(const std::vector<uint32_t>& clusters, const std::byte* data, std::size_t byteCount);
    // Reads the directory sector that holds the entry at `offset`, lets `change` edit the entry's
    // bytes and writes the sector back; `writtenWhat` names it in the error.
    FatStatus RewriteEntry(uint64_t offset, const std::function<void(std::span<std::byte>)>& change,
                           const std::string& writtenWhat);
    FatStatus WriteEntry(uint64_t offset, const DirEntry& entry);
    FatStatus MarkDeleted(uint64_t offset);
    // Flushes the data and cleared clusters written since the last flush, when there are any.
    FatStatus FlushData();
    // The changed FAT sectors to every copy, then a flush of them and of the data: what must be
    // on the disk before an entry that points to them is written.
    FatStatus FlushChains();
    FatStatus Commit();
    FatStatus Fail(FatStatus status);  // forgets unflushed FAT changes, passes the status on
    bool WriteFsInfoSector();          // the sector as held in memory, to its place on the volume
    DirEntry NewEntry(const ShortName& name, uint8_t attributes) const;

    IBlockDevice& device_;
    LocalTimeSource localTime_;
    std::size_t fatCacheBytes_;
    Fat32Geometry geometry_;
    bool open_ = false;
    bool stale_ = false;
    std::vector<std::byte> bootSector_;
    std::vector<std::byte> backupBootSector_;
    std::vector<std::byte> fsInfoSector_;
    std::unique_ptr<FatTable> fat_;
    uint32_t allocationHint_ = kFirstDataCluster;
    bool unflushedData_ = false;  // data or cleared clusters written since the last flush
};

}  // namespace tolven
