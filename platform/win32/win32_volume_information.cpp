// Win32 platform layer: volume label and space for the drive information panel.
#include "platform/win32/win32_volume_information.h"

#include <windows.h>

#include <vector>

#include "platform/win32/win32_text.h"

namespace tolven::win32 {

bool Win32VolumeInformation::GetVolumeInformationW(std::u16string_view rootPath, char16_t* label,
                                                   uint32_t capacity) {
    std::vector<wchar_t> name(capacity > 0 ? capacity : 1, L'\0');
    const BOOL ok = ::GetVolumeInformationW(ToWide(rootPath).c_str(), name.data(), capacity, nullptr, nullptr,
                                            nullptr, nullptr, 0);
    if (capacity > 0) {
        name[capacity - 1] = L'\0';  // a NUL within the caller's buffer, whatever came back
        for (uint32_t i = 0; i < capacity; ++i) {
            label[i] = static_cast<char16_t>(name[i]);
        }
    }
    return ok != 0;
}

bool Win32VolumeInformation::GetDiskFreeSpaceExW(std::u16string_view rootPath, uint64_t& totalBytes,
                                                 uint64_t& totalFreeBytes) {
    ULARGE_INTEGER total{};
    ULARGE_INTEGER totalFree{};
    const BOOL ok = ::GetDiskFreeSpaceExW(ToWide(rootPath).c_str(), nullptr, &total, &totalFree);
    totalBytes = ok ? total.QuadPart : 0;
    totalFreeBytes = ok ? totalFree.QuadPart : 0;
    return ok != 0;
}

}  // namespace tolven::win32
