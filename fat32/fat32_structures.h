// The sector images a FAT32 format writes (boot sector, FSInfo sector, the head of each FAT) and
// where they live on the volume. Every other byte of the system area and of the root directory
// cluster is zero.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "fat32/device_facts.h"
#include "fat32/fat32_layout.h"
#include "fat32/volume_access.h"

namespace tolven {

inline constexpr uint32_t kStructureSectorBytes = 512;  // every image fills one 512-byte sector

// Sector placement, counted from the volume's first sector.
inline constexpr uint32_t kBootSector = 0;
inline constexpr uint32_t kFsInfoSector = 1;
inline constexpr uint32_t kBackupBootSector = 6;
inline constexpr uint32_t kBackupFsInfoSector = 7;
inline constexpr uint32_t kRootDirectoryCluster = 2;
inline constexpr uint32_t kFirstFreeCluster = 3;  // the FSInfo hint: cluster 2 is taken by the root

inline constexpr uint8_t kMediaDescriptorFixedDisk = 0xF8;
inline constexpr uint32_t kFatEntryMedia = 0x0FFFFFF8;       // entry 0
inline constexpr uint32_t kFatEntryEndOfChain = 0x0FFFFFFF;  // entry 1 and the root's entry 2

inline constexpr std::string_view kVolumeLabel = "PMP        ";  // 11 bytes, space padded
inline constexpr std::size_t kVolumeLabelBytes = 11;

// Boot sector field offsets.
namespace boot_sector {
inline constexpr std::size_t kJump = 0;             // EB 58 90
inline constexpr std::size_t kOemName = 3;          // 8 bytes
inline constexpr std::size_t kBytesPerSector = 11;  // 16-bit
inline constexpr std::size_t kSectorsPerCluster = 13;
inline constexpr std::size_t kReservedSectors = 14;  // 16-bit
inline constexpr std::size_t kFatCount = 16;
inline constexpr std::size_t kRootEntries = 17;     // 16-bit, 0 on FAT32
inline constexpr std::size_t kTotalSectors16 = 19;  // 16-bit, 0 on FAT32
inline constexpr std::size_t kMedia = 21;
inline constexpr std::size_t kFatSize16 = 22;         // 16-bit, 0 on FAT32
inline constexpr std::size_t kSectorsPerTrack = 24;   // 16-bit
inline constexpr std::size_t kHeads = 26;             // 16-bit
inline constexpr std::size_t kHiddenSectors = 28;     // 32-bit
inline constexpr std::size_t kTotalSectors32 = 32;    // 32-bit
inline constexpr std::size_t kFatSize32 = 36;         // 32-bit
inline constexpr std::size_t kExtendedFlags = 40;     // 16-bit
inline constexpr std::size_t kFsVersion = 42;         // 16-bit
inline constexpr std::size_t kRootCluster = 44;       // 32-bit
inline constexpr std::size_t kFsInfoSector = 48;      // 16-bit
inline constexpr std::size_t kBackupBootSector = 50;  // 16-bit
inline constexpr std::size_t kDriveNumber = 64;
inline constexpr std::size_t kExtendedSignature = 66;
inline constexpr std::size_t kVolumeId = 67;        // 32-bit
inline constexpr std::size_t kVolumeLabel = 71;     // 11 bytes
inline constexpr std::size_t kFileSystemType = 82;  // 8 bytes
inline constexpr std::size_t kSignature = 510;      // 55 AA
}  // namespace boot_sector

// FSInfo sector field offsets and signatures.
namespace fs_info {
inline constexpr std::size_t kLeadSignature = 0;
inline constexpr std::size_t kStructSignature = 484;
inline constexpr std::size_t kFreeCount = 488;
inline constexpr std::size_t kNextFree = 492;
inline constexpr std::size_t kTrailSignature = 508;
inline constexpr uint32_t kLeadSignatureValue = 0x41615252;    // "RRaA"
inline constexpr uint32_t kStructSignatureValue = 0x61417272;  // "rrAa"
inline constexpr uint32_t kTrailSignatureValue = 0xAA550000;
}  // namespace fs_info

// The volume serial number from the local time at the start of the format.
uint32_t MakeVolumeId(const SystemTime& localTime);

// Each builder fills a zeroed buffer of at least 512 bytes; bytes it does not name stay zero.
void BuildBootSector(std::span<std::byte> sector, const Fat32Layout& layout, const DeviceFacts& device,
                     uint32_t volumeId, std::string_view label);
void BuildFsInfoSector(std::span<std::byte> sector, uint32_t freeClusters);
void BuildFatHead(std::span<std::byte> sector);

}  // namespace tolven
