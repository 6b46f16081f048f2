// Linux host: IBlockDevice over a target's volume, with positioned reads and writes on the run's
// descriptor.
#include "platform/linux/volume/linux_block_device.h"

#include "platform/linux/volume/volume_placement.h"

namespace tolven::linux_host {

namespace {

class LinuxBlockDevice final : public IBlockDevice {
  public:
    LinuxBlockDevice(std::shared_ptr<OpenTarget> target, const VolumePlacement& placement, bool writable)
        : target_(std::move(target)), placement_(placement), writable_(writable) {}
    ~LinuxBlockDevice() override {
        if (writable_) {
            target_->ReleaseClaim();
        }
    }
    LinuxBlockDevice(const LinuxBlockDevice&) = delete;
    LinuxBlockDevice& operator=(const LinuxBlockDevice&) = delete;

    uint32_t SectorSize() const override { return placement_.sectorSize; }
    uint64_t SectorCount() const override { return placement_.volumeLength / placement_.sectorSize; }
    uint64_t ChangeCount() const override { return target_->ChangeCount(); }

    bool Read(uint64_t byteOffset, std::byte* data, std::size_t byteCount) override {
        if (!Admits(byteOffset, byteCount) || (data == nullptr && byteCount != 0)) {
            return false;
        }
        return target_->Read(placement_.volumeOffset + byteOffset, data, byteCount) == 0;
    }

    bool Write(uint64_t byteOffset, const std::byte* data, std::size_t byteCount) override {
        if (!writable_ || !Admits(byteOffset, byteCount) || (data == nullptr && byteCount != 0)) {
            return false;
        }
        return target_->Write(placement_.volumeOffset + byteOffset, data, byteCount) == 0;
    }

    bool Flush() override { return !writable_ || target_->Sync() == 0; }

  private:
    // Whole sectors, all of them inside the volume (only whole sectors belong to it).
    bool Admits(uint64_t byteOffset, std::size_t byteCount) const {
        const uint64_t sector = placement_.sectorSize;
        const uint64_t end = SectorCount() * sector;
        return byteOffset % sector == 0 && byteCount % sector == 0 && byteOffset <= end &&
               byteCount <= end - byteOffset;
    }

    std::shared_ptr<OpenTarget> target_;
    VolumePlacement placement_;
    bool writable_;
};

}  // namespace

std::unique_ptr<IBlockDevice> OpenVolumeBlockDevice(std::shared_ptr<OpenTarget> target,
                                                    BlockDeviceAccess access, int& error,
                                                    const std::filesystem::path& sysfsRoot) {
    const bool writable = access == BlockDeviceAccess::kReadWrite;
    if (writable) {
        if ((error = target->WriteError()) != 0 || (error = target->AcquireClaim()) != 0) {
            return nullptr;
        }
    }
    VolumePlacement placement;
    if ((error = ReadVolumePlacement(*target, sysfsRoot, placement)) != 0) {
        if (writable) {
            target->ReleaseClaim();
        }
        return nullptr;
    }
    return std::make_unique<LinuxBlockDevice>(std::move(target), placement, writable);
}

std::unique_ptr<IBlockDevice> OpenVolumeBlockDevice(const DriveTarget& target, BlockDeviceAccess access,
                                                    int& error, const std::filesystem::path& sysfsRoot) {
    TargetOpen opened = OpenTargetPath(target.path);
    if (opened.target == nullptr) {
        error = opened.status.error;
        return nullptr;
    }
    return OpenVolumeBlockDevice(std::move(opened.target), access, error, sysfsRoot);
}

}  // namespace tolven::linux_host
