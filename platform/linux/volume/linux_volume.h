// Linux host: the formatter's volume access over the host's emulated drive letters. The volume
// path "\\.\X:" names letter X of the DriveTable; its target is a disk image or a block device.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>

#include "fat32/volume_access.h"
#include "platform/linux/host/drive_table.h"
#include "platform/linux/volume/volume_target.h"

namespace tolven::linux_host {

// The Windows media type of a fixed hard disk, which is what every target here reports.
inline constexpr uint32_t kFixedMedia = 12;

class LinuxVolume final : public IVolume {
  public:
    explicit LinuxVolume(VolumeTarget target) : target_(std::move(target)) {}
    ~LinuxVolume() override { CloseHandle(); }

    bool LockVolume() override;
    bool GetDriveGeometry(DiskGeometry& geometry) override;
    bool GetPartitionInfo(PartitionInformation& info) override;
    bool SetPartitionType(uint8_t partitionType) override;
    bool DismountVolume() override;
    bool UnlockVolume() override;
    bool WriteAt(uint64_t byteOffset, const std::byte* data, uint32_t byteCount) override;
    void CloseHandle() override;

    bool DirectIo() const { return target_.direct; }

  private:
    bool Flush();

    VolumeTarget target_;
    bool locked_ = false;
    UniqueFd claim_;  // a block device opened shared and then locked holds an O_EXCL claim here
};

// The "\\.\X:" path's letter, upper-cased, or 0 when the path has another shape.
char VolumeLetterFromPath(std::u16string_view path);

class LinuxVolumeSystem final : public IVolumeSystem {
  public:
    // `drives` must outlive this object.
    explicit LinuxVolumeSystem(const DriveTable& drives, std::filesystem::path sysfsRoot = kSysfsRoot)
        : drives_(drives), sysfsRoot_(std::move(sysfsRoot)) {}

    // Access: kGenericWrite opens for writing. Share mode 0 claims the target exclusively;
    // any sharing takes a shared claim instead. kFileFlagNoBuffering asks for O_DIRECT.
    std::unique_ptr<IVolume> CreateFileW(std::u16string_view path, uint32_t desiredAccess, uint32_t shareMode,
                                         uint32_t flagsAndAttributes) override;
    int32_t LastOpenError() const override { return lastError_; }

  private:
    const DriveTable& drives_;
    std::filesystem::path sysfsRoot_;
    int32_t lastError_ = 0;
};

}  // namespace tolven::linux_host
