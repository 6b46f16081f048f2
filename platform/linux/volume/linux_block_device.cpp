// Linux host: IBlockDevice over an opened volume target, with pread/pwrite/fsync.
#include "platform/linux/volume/linux_block_device.h"

#include <unistd.h>

#include "platform/linux/volume/volume_target.h"

namespace tolven::linux_host {

namespace {

class LinuxBlockDevice final : public IBlockDevice {
  public:
    LinuxBlockDevice(VolumeTarget target, bool writable) : target_(std::move(target)), writable_(writable) {}

    uint32_t SectorSize() const override { return target_.sectorSize; }
    uint64_t SectorCount() const override { return target_.volumeLength / target_.sectorSize; }

    bool Read(uint64_t byteOffset, std::byte* data, std::size_t byteCount) override {
        if (!Admits(byteOffset, byteCount) || (data == nullptr && byteCount != 0)) {
            return false;
        }
        std::size_t got = 0;
        return ReadFully(target_.fd.Get(), data, byteCount, target_.volumeOffset + byteOffset, got) == 0 &&
               got == byteCount;
    }

    bool Write(uint64_t byteOffset, const std::byte* data, std::size_t byteCount) override {
        if (!writable_ || !Admits(byteOffset, byteCount) || (data == nullptr && byteCount != 0)) {
            return false;
        }
        return WriteFully(target_.fd.Get(), data, byteCount, target_.volumeOffset + byteOffset) == 0;
    }

    bool Flush() override { return !writable_ || ::fsync(target_.fd.Get()) == 0; }

  private:
    // Whole sectors, all of them inside the volume (only whole sectors belong to it).
    bool Admits(uint64_t byteOffset, std::size_t byteCount) const {
        const uint64_t sector = target_.sectorSize;
        const uint64_t end = SectorCount() * sector;
        return byteOffset % sector == 0 && byteCount % sector == 0 && byteOffset <= end &&
               byteCount <= end - byteOffset;
    }

    VolumeTarget target_;
    bool writable_;
};

}  // namespace

std::unique_ptr<IBlockDevice> OpenVolumeBlockDevice(const DriveTarget& target, BlockDeviceAccess access,
                                                    int& error, const std::filesystem::path& sysfsRoot) {
    TargetOpenOptions options;
    options.write = access == BlockDeviceAccess::kReadWrite;
    options.direct = false;
    options.lock = options.write ? TargetLock::kExclusive : TargetLock::kNone;
    options.sysfsRoot = sysfsRoot;
    VolumeTarget opened;
    error = OpenVolumeTarget(target.path, options, opened);
    if (error != 0) {
        return nullptr;
    }
    return std::make_unique<LinuxBlockDevice>(std::move(opened), options.write);
}

}  // namespace tolven::linux_host
