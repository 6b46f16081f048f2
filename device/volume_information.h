// The operating-system side of the drive information panel: the label and space of a mounted
// volume (GetVolumeInformationW, GetDiskFreeSpaceExW on Windows; the host's FAT32 file layer on
// Linux).
#pragma once

#include <cstdint>
#include <string_view>

namespace tolven {

class IVolumeInformation {
  public:
    virtual ~IVolumeInformation() = default;
    // GetVolumeInformationW(rootPath, label, capacity, ...): the label, NUL-terminated, within
    // capacity characters. False when the volume cannot be read (not formatted, gone).
    virtual bool GetVolumeInformationW(std::u16string_view rootPath, char16_t* label, uint32_t capacity) = 0;
    // GetDiskFreeSpaceExW(rootPath, ..., &totalBytes, &totalFreeBytes).
    virtual bool GetDiskFreeSpaceExW(std::u16string_view rootPath, uint64_t& totalBytes,
                                     uint64_t& totalFreeBytes) = 0;
};

}  // namespace tolven
