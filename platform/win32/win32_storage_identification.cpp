// Win32 platform layer: storage identification of the drive scan.
#include "platform/win32/win32_storage_identification.h"

#include <winioctl.h>

#include "platform/win32/win32_text.h"

namespace tolven::win32 {

Win32StorageDevice::~Win32StorageDevice() {
    ::CloseHandle(handle_);
}

bool Win32StorageDevice::QueryStorageDeviceDescriptor(std::byte* buffer, uint32_t bufferSize,
                                                      uint32_t& bytesReturned) {
    // The query record goes in with its full 12 bytes: property id and query type 0
    // (StorageDeviceProperty, PropertyStandardQuery) and the unused parameter byte.
    STORAGE_PROPERTY_QUERY query{};
    query.PropertyId = StorageDeviceProperty;
    query.QueryType = PropertyStandardQuery;
    DWORD returned = 0;
    const BOOL ok = DeviceIoControl(handle_, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, buffer,
                                    bufferSize, &returned, nullptr);
    bytesReturned = ok ? returned : 0;
    return ok != 0;
}

uint32_t Win32StorageIdentification::GetDriveTypeW(std::u16string_view rootPath) {
    return ::GetDriveTypeW(ToWide(rootPath).c_str());
}

std::unique_ptr<IStorageDevice> Win32StorageIdentification::OpenStorageDevice(
    std::u16string_view volumePath) {
    HANDLE handle = ::CreateFileW(ToWide(volumePath).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    return std::make_unique<Win32StorageDevice>(handle);
}

std::u16string Win32StorageIdentification::WidenIdentification(std::string_view text) {
    return WidenThreadAnsi(text);
}

}  // namespace tolven::win32
