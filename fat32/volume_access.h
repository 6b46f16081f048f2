// The operating-system side of the formatter: raw access to one volume, the local clock and the
// page allocator. Win32 implements these with CreateFileW/DeviceIoControl/VirtualAlloc, Linux
// over disk images and block devices, the tests with in-memory fakes that can fail on demand.
// Every failure crosses this boundary as a false result (and, for the open, an error code).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace tolven {

// The members of DISK_GEOMETRY (24 bytes on Windows). Zero means "not reported".
struct DiskGeometry {
    int64_t Cylinders = 0;
    uint32_t MediaType = 0;
    uint32_t TracksPerCylinder = 0;  // heads
    uint32_t SectorsPerTrack = 0;
    uint32_t BytesPerSector = 0;
};

// The members of PARTITION_INFORMATION (32 bytes on Windows). Zero means "not reported".
struct PartitionInformation {
    int64_t StartingOffset = 0;   // bytes from the start of the disk
    int64_t PartitionLength = 0;  // bytes
    uint32_t HiddenSectors = 0;   // sectors before the volume on its disk
    uint32_t PartitionNumber = 0;
    uint8_t PartitionType = 0;
    bool BootIndicator = false;
    bool RecognizedPartition = false;
    bool RewritePartition = false;
};

// The members of SYSTEMTIME.
struct SystemTime {
    uint16_t wYear = 0;
    uint16_t wMonth = 0;
    uint16_t wDayOfWeek = 0;
    uint16_t wDay = 0;
    uint16_t wHour = 0;
    uint16_t wMinute = 0;
    uint16_t wSecond = 0;
    uint16_t wMilliseconds = 0;
};

// CreateFileW arguments the formatter uses (winnt.h values; the creation disposition is always
// OPEN_EXISTING).
inline constexpr uint32_t kGenericRead = 0x80000000u;
inline constexpr uint32_t kGenericWrite = 0x40000000u;
inline constexpr uint32_t kFileShareRead = 0x1u;
inline constexpr uint32_t kFileShareWrite = 0x2u;
inline constexpr uint32_t kFileFlagNoBuffering = 0x20000000u;

// The partition type of a FAT32 volume addressed by LBA.
inline constexpr uint8_t kPartitionTypeFat32Lba = 0x0C;

// One open volume handle. Every device control is synchronous and returns false when refused.
class IVolume {
  public:
    virtual ~IVolume() = default;
    virtual bool LockVolume() = 0;                                  // FSCTL_LOCK_VOLUME
    virtual bool GetDriveGeometry(DiskGeometry& geometry) = 0;      // IOCTL_DISK_GET_DRIVE_GEOMETRY
    virtual bool GetPartitionInfo(PartitionInformation& info) = 0;  // IOCTL_DISK_GET_PARTITION_INFO
    virtual bool SetPartitionType(uint8_t partitionType) = 0;       // IOCTL_DISK_SET_PARTITION_INFO
    virtual bool DismountVolume() = 0;                              // FSCTL_DISMOUNT_VOLUME
    virtual bool UnlockVolume() = 0;                                // FSCTL_UNLOCK_VOLUME
    // SetFilePointer(FILE_BEGIN) to byteOffset, then one WriteFile of byteCount bytes; bytesWritten
    // is the count WriteFile reports. The volume is unbuffered: offset and count are whole
    // sectors, the buffer page-aligned. The system may report success with fewer bytes written
    // (a volume write past the end of the file system it last mounted comes back with none), so
    // the caller compares the count: see WriteWholeSectors.
    virtual bool WriteFileAt(uint64_t byteOffset, const std::byte* data, uint32_t byteCount,
                             uint32_t& bytesWritten) {
        const bool ok = WriteAt(byteOffset, data, byteCount);
        bytesWritten = ok ? byteCount : 0;
        return ok;
    }
    // The same write for a host whose writes go out whole or fail; such a host implements only
    // this one and WriteFileAt reports the whole count for it.
    virtual bool WriteAt(uint64_t byteOffset, const std::byte* data, uint32_t byteCount) = 0;
    virtual void CloseHandle() = 0;  // the one close; the destructor closes a handle left open
};

// One write of whole sectors, counted as written only when the system took every byte.
inline bool WriteWholeSectors(IVolume& volume, uint64_t byteOffset, const std::byte* data,
                              uint32_t byteCount) {
    uint32_t bytesWritten = 0;
    return volume.WriteFileAt(byteOffset, data, byteCount, bytesWritten) && bytesWritten == byteCount;
}

class IVolumeSystem {
  public:
    virtual ~IVolumeSystem() = default;
    // CreateFileW(path, access, shareMode, no security, OPEN_EXISTING, flags, no template).
    // path is the volume path "\\.\X:". Null when the open fails; LastOpenError() then tells why.
    virtual std::unique_ptr<IVolume> CreateFileW(std::u16string_view path, uint32_t desiredAccess,
                                                 uint32_t shareMode, uint32_t flagsAndAttributes) = 0;
    virtual int32_t LastOpenError() const = 0;  // GetLastError() of the last failed open
};

class IClock {
  public:
    virtual ~IClock() = default;
    virtual SystemTime GetLocalTime() = 0;
    virtual void Sleep(uint32_t milliseconds) = 0;
};

// VirtualAlloc(MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE): page-aligned and zero-filled, or null.
class IPageAllocator {
  public:
    virtual ~IPageAllocator() = default;
    virtual std::byte* AllocatePages(std::size_t byteCount) = 0;
    virtual void FreePages(std::byte* pages, std::size_t byteCount) = 0;
};

// Everything the formatter needs from the operating system, handed in by the caller.
struct FormatPlatform {
    IVolumeSystem& volumes;
    IClock& clock;
    IPageAllocator& pages;
};

}  // namespace tolven
