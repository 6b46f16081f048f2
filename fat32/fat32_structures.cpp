#include "fat32/fat32_structures.h"

#include <cassert>

#include "base/little_endian.h"

namespace tolven {
namespace {

constexpr uint8_t kJumpToBootCode[] = {boot_sector::kJumpShort, 0x58, 0x90};  // the jump lands on offset 90
constexpr std::string_view kOemNameText = "MSDOS5.0";
constexpr std::string_view kFileSystemTypeText = "FAT32   ";

void StoreByte(std::span<std::byte> sector, std::size_t offset, uint8_t value) {
    sector[offset] = static_cast<std::byte>(value);
}

// Copies text into a field of `width` bytes, padding with spaces.
void StoreText(std::span<std::byte> sector, std::size_t offset, std::string_view text, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) {
        sector[offset + i] = static_cast<std::byte>(i < text.size() ? text[i] : ' ');
    }
}

}  // namespace

uint32_t MakeVolumeId(const SystemTime& t) {
    const uint32_t low = (t.wMonth * 256u + t.wDay + t.wSecond * 256u + t.wMilliseconds / 10u) & 0xFFFFu;
    const uint32_t high = (t.wHour * 256u + t.wMinute + t.wYear) & 0xFFFFu;
    return (high << 16) | low;
}

void BuildBootSector(std::span<std::byte> sector, const Fat32Layout& layout, const DeviceFacts& device,
                     uint32_t volumeId, std::string_view label) {
    assert(sector.size() >= kStructureSectorBytes);
    using namespace boot_sector;
    for (std::size_t i = 0; i < sizeof kJumpToBootCode; ++i) {
        StoreByte(sector, kJump + i, kJumpToBootCode[i]);
    }
    StoreText(sector, kOemName, kOemNameText, 8);
    StoreLe16(&sector[kBytesPerSector], static_cast<uint16_t>(layout.bytesPerSector));
    StoreByte(sector, kSectorsPerCluster, static_cast<uint8_t>(layout.sectorsPerCluster));
    StoreLe16(&sector[kReservedSectors], layout.reservedSectors);
    StoreByte(sector, kFatCount, layout.fatCount);
    StoreByte(sector, kMedia, kMediaFixedDisk);
    StoreLe16(&sector[kSectorsPerTrack], static_cast<uint16_t>(device.sectorsPerTrack));
    StoreLe16(&sector[kHeads], static_cast<uint16_t>(device.tracksPerCylinder));
    StoreLe32(&sector[kHiddenSectors], device.hiddenSectors);
    StoreLe32(&sector[kTotalSectors32], layout.totalSectors);
    StoreLe32(&sector[kFatSize32], layout.fatSize);
    StoreLe32(&sector[kRootCluster], kRootDirectoryCluster);
    StoreLe16(&sector[boot_sector::kFsInfoSector], static_cast<uint16_t>(tolven::kFsInfoSector));
    StoreLe16(&sector[boot_sector::kBackupBootSector], static_cast<uint16_t>(tolven::kBackupBootSector));
    StoreByte(sector, kDriveNumber, kFirstFixedDisk);
    StoreByte(sector, kExtendedSignature, kExtendedSignatureValue);
    StoreLe32(&sector[kVolumeId], volumeId);
    StoreText(sector, boot_sector::kVolumeLabel, label.substr(0, kShortNameBytes), kShortNameBytes);
    StoreText(sector, kFileSystemType, kFileSystemTypeText, 8);
    StoreLe16(&sector[kSignature], kSignatureValue);
}

void BuildFsInfoSector(std::span<std::byte> sector, uint32_t freeClusters) {
    assert(sector.size() >= kStructureSectorBytes);
    using namespace fs_info;
    StoreLe32(&sector[kLeadSignature], kLeadSignatureValue);
    StoreLe32(&sector[kStructSignature], kStructSignatureValue);
    StoreLe32(&sector[kFreeCount], freeClusters);
    StoreLe32(&sector[kNextFree], kFirstFreeCluster);
    StoreLe32(&sector[kTrailSignature], kTrailSignatureValue);
}

void BuildFatHead(std::span<std::byte> sector) {
    assert(sector.size() >= kStructureSectorBytes);
    StoreLe32(&sector[0 * kFatEntryBytes], kFatEntryMedia);
    StoreLe32(&sector[1 * kFatEntryBytes], kFatEntryEndOfChain);
    StoreLe32(&sector[kRootDirectoryCluster * kFatEntryBytes], kFatEntryEndOfChain);
}

}  // namespace tolven
