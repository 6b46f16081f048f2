// Linux host: the drive information panel's label and space queries, answered by the host's own
// FAT32 file layer from the volume behind the drive letter.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "device/volume_information.h"
#include "platform/linux/fatfs/fat_drive_access.h"

namespace tolven::linux_host {

class LinuxVolumeInformation final : public IVolumeInformation {
  public:
    explicit LinuxVolumeInformation(FatDriveAccess access);

    // rootPath "X:\". The label is the root directory's label entry without trailing blanks
    // (empty when there is none); characters outside ASCII read as U+FFFD. Fails when the label
    // and its NUL do not fit capacity; a null label buffer only checks the volume.
    bool GetVolumeInformationW(std::u16string_view rootPath, char16_t* label, uint32_t capacity) override;
    // Total: data clusters x cluster bytes; free: free clusters x cluster bytes.
    bool GetDiskFreeSpaceExW(std::u16string_view rootPath, uint64_t& totalBytes,
                             uint64_t& totalFreeBytes) override;

    // Why the last call failed.
    const FatStatus& LastError() const { return lastError_; }

  private:
    // Runs `work` on the mount of the root path's drive, for reading.
    bool ReadRoot(std::u16string_view rootPath, const std::function<FatStatus(Fat32Volume&)>& work);
    bool Report(FatStatus status);

    FatDriveAccess access_;
    FatStatus lastError_;
};

}  // namespace tolven::linux_host
