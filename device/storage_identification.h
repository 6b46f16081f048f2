// The operating-system side of the drive scan: the drive type of a root path and the USB storage
// identification of a volume. Win32: GetDriveTypeW, CreateFileW("\\?\X:"), DeviceIoControl
// (IOCTL_STORAGE_QUERY_PROPERTY); Linux: the host's emulated drive letters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tolven {

// GetDriveTypeW results (winbase.h values).
inline constexpr uint32_t kDriveUnknown = 0;
inline constexpr uint32_t kDriveNoRootDir = 1;
inline constexpr uint32_t kDriveRemovable = 2;
inline constexpr uint32_t kDriveFixed = 3;
inline constexpr uint32_t kDriveRemote = 4;
inline constexpr uint32_t kDriveCdrom = 5;
inline constexpr uint32_t kDriveRamdisk = 6;

// STORAGE_BUS_TYPE value of a USB device.
inline constexpr uint32_t kBusTypeUsb = 7;

// The descriptor buffer is 551 bytes, not 512.
inline constexpr uint32_t kStorageDescriptorBufferSize = 551;

// A volume opened for the storage query (GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
// OPEN_EXISTING, flags 0). Closing happens when the object goes away.
class IStorageDevice {
  public:
    virtual ~IStorageDevice() = default;
    // IOCTL_STORAGE_QUERY_PROPERTY with StorageDeviceProperty / PropertyStandardQuery: fills up to
    // bufferSize bytes of STORAGE_DEVICE_DESCRIPTOR and tells how many bytes it returned.
    virtual bool QueryStorageDeviceDescriptor(std::byte* buffer, uint32_t bufferSize,
                                              uint32_t& bytesReturned) = 0;
};

class IStorageIdentification {
  public:
    virtual ~IStorageIdentification() = default;
    virtual uint32_t GetDriveTypeW(std::u16string_view rootPath) = 0;  // rootPath "X:\"
    // volumePath "\\?\X:"; null when the open fails.
    virtual std::unique_ptr<IStorageDevice> OpenStorageDevice(std::u16string_view volumePath) = 0;
    // The 8-bit vendor or product identification as UTF-16, by the host's rule for device texts
    // (on Windows the ANSI code page of the current thread).
    virtual std::u16string WidenIdentification(std::string_view text) = 0;
};

// The dialog's Format button, as far as the scan is concerned.
class IEnableableButton {
  public:
    virtual ~IEnableableButton() = default;
    virtual void EnableWindow(bool enable) = 0;
};

}  // namespace tolven
