// The FAT32 on-disk vocabulary: field offsets, signatures and reserved values of the boot sector,
// the FSInfo sector, the FAT and the directory entry. Written once, for the formatter that writes
// these structures and for the file layer that reads and changes them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tolven {

// The boot sector's and FSInfo's fields and signatures fill the first 512 bytes of a sector of
// any size; sectors are 512 to 4096 bytes.
inline constexpr uint32_t kStructureSectorBytes = 512;
inline constexpr uint32_t kLargestSectorBytes = 4096;

// 8 name and 3 extension bytes, blank padded: a directory entry's name and the volume label of
// the boot sector and of the root directory's label entry.
inline constexpr std::size_t kShortNameBytes = 11;

// Boot sector field offsets (16- and 32-bit fields little-endian) and values.
namespace boot_sector {
inline constexpr std::size_t kJump = 0;             // EB xx 90 or E9 xx xx
inline constexpr std::size_t kOemName = 3;          // 8 bytes
inline constexpr std::size_t kBytesPerSector = 11;  // 16-bit; the layout fields start here
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
inline constexpr std::size_t kFsVersion = 42;         // 16-bit, 0
inline constexpr std::size_t kRootCluster = 44;       // 32-bit
inline constexpr std::size_t kFsInfoSector = 48;      // 16-bit
inline constexpr std::size_t kBackupBootSector = 50;  // 16-bit
inline constexpr std::size_t kDriveNumber = 64;       // the layout fields end here
inline constexpr std::size_t kExtendedSignature = 66;
inline constexpr std::size_t kVolumeId = 67;        // 32-bit
inline constexpr std::size_t kVolumeLabel = 71;     // kShortNameBytes
inline constexpr std::size_t kFileSystemType = 82;  // 8 bytes
inline constexpr std::size_t kSignature = 510;      // 16-bit

inline constexpr uint8_t kJumpShort = 0xEB;
inline constexpr uint8_t kJumpNear = 0xE9;
inline constexpr uint8_t kMediaFixedDisk = 0xF8;
inline constexpr uint8_t kFirstFixedDisk = 0x80;          // the BIOS drive number
inline constexpr uint8_t kExtendedSignatureValue = 0x29;  // serial number, label and type follow
inline constexpr uint16_t kSignatureValue = 0xAA55;       // the bytes 55 AA
// Extended flags: mirroring off, and then the one FAT in use.
inline constexpr uint16_t kNoMirroring = 0x0080;
inline constexpr uint16_t kActiveFatMask = 0x000F;
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
inline constexpr uint32_t kUnknown = 0xFFFFFFFF;  // the free count or hint is not known
}  // namespace fs_info

// FAT entries: 32 bits of which the low 28 are the entry; the upper four are kept as found.
inline constexpr uint32_t kFatEntryBytes = 4;
inline constexpr uint32_t kFatEntryMask = 0x0FFFFFFF;
inline constexpr uint32_t kFatEntryFree = 0;
inline constexpr uint32_t kFatEntryBad = 0x0FFFFFF7;
inline constexpr uint32_t kFatEntryEndOfChainMin = 0x0FFFFFF8;  // this and above end a chain
inline constexpr uint32_t kFatEntryEndOfChain = 0x0FFFFFFF;     // what is written
inline constexpr uint32_t kFatEntryMedia = 0x0FFFFFF8;          // entry 0: the media byte F8
// Entries 0 and 1 name no data cluster: data clusters are numbered from 2, and from 0x0FFFFFF7 on
// the numbers are reserved, so 0x0FFFFFF6 is the highest a data cluster can carry.
inline constexpr uint32_t kFirstDataCluster = 2;
inline constexpr uint32_t kReservedFatEntries = kFirstDataCluster;
inline constexpr uint32_t kLargestClusterNumber = kFatEntryBad - 1;
inline constexpr uint32_t kLargestClusterCount = kLargestClusterNumber - kFirstDataCluster + 1;

// Directory entries: 32 bytes each, at most 65,536 in a directory (2 MiB).
inline constexpr std::size_t kDirEntryBytes = 32;
inline constexpr uint32_t kLargestDirectoryEntries = 65536;
namespace dir_entry {
inline constexpr std::size_t kName = 0;  // kShortNameBytes
inline constexpr std::size_t kAttributes = 11;
inline constexpr std::size_t kCreationHundredths = 13;
inline constexpr std::size_t kLongNameChecksum = 13;  // in a long-name piece
inline constexpr std::size_t kCreationTime = 14;      // 16-bit
inline constexpr std::size_t kCreationDate = 16;      // 16-bit
inline constexpr std::size_t kAccessDate = 18;        // 16-bit
inline constexpr std::size_t kFirstClusterHigh = 20;  // 16-bit
inline constexpr std::size_t kWriteTime = 22;         // 16-bit
inline constexpr std::size_t kWriteDate = 24;         // 16-bit
inline constexpr std::size_t kFirstClusterLow = 26;   // 16-bit
inline constexpr std::size_t kFileSize = 28;          // 32-bit
}  // namespace dir_entry

inline constexpr uint8_t kAttrReadOnly = 0x01;
inline constexpr uint8_t kAttrHidden = 0x02;
inline constexpr uint8_t kAttrSystem = 0x04;
inline constexpr uint8_t kAttrVolumeId = 0x08;
inline constexpr uint8_t kAttrDirectory = 0x10;
inline constexpr uint8_t kAttrArchive = 0x20;
inline constexpr uint8_t kAttrLongName = 0x0F;  // the four low bits together mark a long-name piece

// First name byte values.
inline constexpr uint8_t kEntryEnd = 0x00;        // this and every later entry unused
inline constexpr uint8_t kEntryDeleted = 0xE5;    // a free entry
inline constexpr uint8_t kEntryEscapedE5 = 0x05;  // a name that starts with the byte E5

}  // namespace tolven
