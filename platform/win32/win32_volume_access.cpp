// Win32 platform layer: raw volume access, clock and page allocator of the formatter.
#include "platform/win32/win32_volume_access.h"

#include <winioctl.h>

#include "platform/win32/win32_text.h"

namespace tolven::win32 {

Win32Volume::~Win32Volume() {
    CloseHandle();
}

bool Win32Volume::Control(DWORD code, void* in, DWORD inSize, void* out, DWORD outSize) {
    DWORD bytesReturned = 0;  // never looked at; some systems fault without it
    return DeviceIoControl(handle_, code, in, inSize, out, outSize, &bytesReturned, nullptr) != 0;
}

bool Win32Volume::LockVolume() {
    return Control(FSCTL_LOCK_VOLUME, nullptr, 0, nullptr, 0);
}

bool Win32Volume::GetDriveGeometry(DiskGeometry& geometry) {
    DISK_GEOMETRY disk{};
    if (!Control(IOCTL_DISK_GET_DRIVE_GEOMETRY, nullptr, 0, &disk, sizeof disk)) {
        return false;
    }
    geometry.Cylinders = disk.Cylinders.QuadPart;
    geometry.MediaType = static_cast<uint32_t>(disk.MediaType);
    geometry.TracksPerCylinder = disk.TracksPerCylinder;
    geometry.SectorsPerTrack = disk.SectorsPerTrack;
    geometry.BytesPerSector = disk.BytesPerSector;
    return true;
}

bool Win32Volume::GetPartitionInfo(PartitionInformation& info) {
    PARTITION_INFORMATION partition{};
    if (!Control(IOCTL_DISK_GET_PARTITION_INFO, nullptr, 0, &partition, sizeof partition)) {
        return false;
    }
    info.StartingOffset = partition.StartingOffset.QuadPart;
    info.PartitionLength = partition.PartitionLength.QuadPart;
    info.HiddenSectors = partition.HiddenSectors;
    info.PartitionNumber = partition.PartitionNumber;
    info.PartitionType = partition.PartitionType;
    info.BootIndicator = partition.BootIndicator != FALSE;
    info.RecognizedPartition = partition.RecognizedPartition != FALSE;
    info.RewritePartition = partition.RewritePartition != FALSE;
    return true;
}

bool Win32Volume::SetPartitionType(uint8_t partitionType) {
    SET_PARTITION_INFORMATION partition{};
    partition.PartitionType = partitionType;
    return Control(IOCTL_DISK_SET_PARTITION_INFO, &partition, sizeof partition, nullptr, 0);
}

bool Win32Volume::DismountVolume() {
    return Control(FSCTL_DISMOUNT_VOLUME, nullptr, 0, nullptr, 0);
}

bool Win32Volume::UnlockVolume() {
    return Control(FSCTL_UNLOCK_VOLUME, nullptr, 0, nullptr, 0);
}

bool Win32Volume::WriteFileAt(uint64_t byteOffset, const std::byte* data, uint32_t byteCount,
                              uint32_t& bytesWritten) {
    // The whole 64-bit offset goes to the system, so that no position can wrap at 4 GiB. The
    // positioning result is not tested: a failed seek shows through the write that follows.
    LONG high = static_cast<LONG>(byteOffset >> 32);
    SetFilePointer(handle_, static_cast<LONG>(byteOffset & 0xFFFFFFFFu), &high, FILE_BEGIN);
    // The count is passed on as the system reports it: a write can succeed short of the request.
    DWORD written = 0;
    const BOOL ok = WriteFile(handle_, data, byteCount, &written, nullptr);
    bytesWritten = written;
    return ok != 0;
}

bool Win32Volume::WriteAt(uint64_t byteOffset, const std::byte* data, uint32_t byteCount) {
    return WriteWholeSectors(*this, byteOffset, data, byteCount);
}

void Win32Volume::CloseHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) {
        ::CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }
}

std::unique_ptr<IVolume> Win32VolumeSystem::CreateFileW(std::u16string_view path, uint32_t desiredAccess,
                                                        uint32_t shareMode, uint32_t flagsAndAttributes) {
    const std::wstring widePath = ToWide(path);
    HANDLE handle = ::CreateFileW(widePath.c_str(), desiredAccess, shareMode, nullptr, OPEN_EXISTING,
                                  flagsAndAttributes, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        lastOpenError_ = static_cast<int32_t>(GetLastError());
        return nullptr;
    }
    return std::make_unique<Win32Volume>(handle);
}

SystemTime Win32Clock::GetLocalTime() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return SystemTime{now.wYear, now.wMonth,  now.wDayOfWeek, now.wDay,
                      now.wHour, now.wMinute, now.wSecond,    now.wMilliseconds};
}

void Win32Clock::Sleep(uint32_t milliseconds) {
    ::Sleep(milliseconds);
}

std::byte* Win32PageAllocator::AllocatePages(std::size_t byteCount) {
    return static_cast<std::byte*>(
        VirtualAlloc(nullptr, byteCount, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
}

void Win32PageAllocator::FreePages(std::byte* pages, std::size_t /*byteCount*/) {
    if (pages != nullptr) {
        VirtualFree(pages, 0, MEM_RELEASE);
    }
}

}  // namespace tolven::win32
