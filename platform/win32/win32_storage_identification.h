// Win32 platform layer: the drive scan's storage identification (GetDriveTypeW, CreateFileW on
// "\\?\X:", IOCTL_STORAGE_QUERY_PROPERTY).
#pragma once

#include <windows.h>

#include "device/storage_identification.h"

namespace tolven::win32 {

class Win32StorageDevice final : public IStorageDevice {
  public:
    explicit Win32StorageDevice(HANDLE handle) : handle_(handle) {}
    ~Win32StorageDevice() override;
    Win32StorageDevice(const Win32StorageDevice&) = delete;
    Win32StorageDevice& operator=(const Win32StorageDevice&) = delete;

    bool QueryStorageDeviceDescriptor(std::byte* buffer, uint32_t bufferSize,
                                      uint32_t& bytesReturned) override;

  private:
    HANDLE handle_;
};

class Win32StorageIdentification final : public IStorageIdentification {
  public:
    uint32_t GetDriveTypeW(std::u16string_view rootPath) override;
    std::unique_ptr<IStorageDevice> OpenStorageDevice(std::u16string_view volumePath) override;
    // Through the ANSI code page of the current thread, as every 8-bit text of the program.
    std::u16string WidenIdentification(std::string_view text) override;
};

}  // namespace tolven::win32
