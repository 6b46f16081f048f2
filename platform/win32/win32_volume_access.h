// Win32 platform layer: raw volume access of the formatter (CreateFileW, DeviceIoControl,
// SetFilePointer, WriteFile), the local clock and the page allocator (VirtualAlloc).
#pragma once

#include <windows.h>

#include "fat32/volume_access.h"

namespace tolven::win32 {

// One open volume handle; every device control is synchronous.
class Win32Volume final : public IVolume {
  public:
    explicit Win32Volume(HANDLE handle) : handle_(handle) {}
    ~Win32Volume() override;
    Win32Volume(const Win32Volume&) = delete;
    Win32Volume& operator=(const Win32Volume&) = delete;

    bool LockVolume() override;
    bool GetDriveGeometry(DiskGeometry& geometry) override;
    bool GetPartitionInfo(PartitionInformation& info) override;
    bool SetPartitionType(uint8_t partitionType) override;
    bool DismountVolume() override;
    bool UnlockVolume() override;
    bool WriteFileAt(uint64_t byteOffset, const std::byte* data, uint32_t byteCount,
                     uint32_t& bytesWritten) override;
    bool WriteAt(uint64_t byteOffset, const std::byte* data, uint32_t byteCount) override;
    void CloseHandle() override;

  private:
    bool Control(DWORD code, void* in, DWORD inSize, void* out, DWORD outSize);
    HANDLE handle_;
};

class Win32VolumeSystem final : public IVolumeSystem {
  public:
    std::unique_ptr<IVolume> CreateFileW(std::u16string_view path, uint32_t desiredAccess, uint32_t shareMode,
                                         uint32_t flagsAndAttributes) override;
    int32_t LastOpenError() const override { return lastOpenError_; }

  private:
    int32_t lastOpenError_ = 0;
};

class Win32Clock final : public IClock {
  public:
    SystemTime GetLocalTime() override;
    void Sleep(uint32_t milliseconds) override;
};

class Win32PageAllocator final : public IPageAllocator {
  public:
    std::byte* AllocatePages(std::size_t byteCount) override;
    void FreePages(std::byte* pages, std::size_t byteCount) override;
};

}  // namespace tolven::win32
