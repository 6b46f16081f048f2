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
#include "fat32/fat32_on_disk.h"
#include "fat32/volume_access.h"

namespace tolven {

// Sector placement, counted from the volume's first sector.
inline constexpr uint32_t kBootSector = 0;
inline constexpr uint32_t kFsInfoSector = 1;
inline constexpr uint32_t kBackupBootSector = 6;
inline constexpr uint32_t kBackupFsInfoSector = 7;
inline constexpr uint32_t kRootDirectoryCluster = 2;
inline constexpr uint32_t kFirstFreeCluster = 3;  // the FSInfo hint: cluster 2 is taken by the root

inline constexpr std::string_view kVolumeLabel = "PMP        ";  // kShortNameBytes, space padded

// The volume serial number from the local time at the start of the format.
uint32_t MakeVolumeId(const SystemTime& localTime);

// Each builder fills a zeroed buffer of at least kStructureSectorBytes; bytes it does not name stay zero.
void BuildBootSector(std::span<std::byte> sector, const Fat32Layout& layout, const DeviceFacts& device,
                     uint32_t volumeId, std::string_view label);
void BuildFsInfoSector(std::span<std::byte> sector, uint32_t freeClusters);
void BuildFatHead(std::span<std::byte> sector);

}  // namespace tolven
