// Win32 platform layer: label and space of a mounted volume (GetVolumeInformationW,
// GetDiskFreeSpaceExW).
#pragma once

#include "device/volume_information.h"

namespace tolven::win32 {

class Win32VolumeInformation final : public IVolumeInformation {
  public:
    bool GetVolumeInformationW(std::u16string_view rootPath, char16_t* label, uint32_t capacity) override;
    bool GetDiskFreeSpaceExW(std::u16string_view rootPath, uint64_t& totalBytes,
                             uint64_t& totalFreeBytes) override;
};

}  // namespace tolven::win32
