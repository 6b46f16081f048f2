// Linux host, terminal: volume and block device wrappers that count the bytes written.
#include "platform/linux/terminal/counting_writes.h"

namespace tolven::linux_host {

namespace {

class CountingVolume final : public IVolume {
  public:
    CountingVolume(std::unique_ptr<IVolume> inner, WriteCount& count)
        : inner_(std::move(inner)), count_(count) {}
    bool LockVolume() override { return inner_->LockVolume(); }
    bool GetDriveGeometry(DiskGeometry& geometry) override { return inner_->GetDriveGeometry(geometry); }
    bool GetPartitionInfo(PartitionInformation& info) override { return inner_->GetPartitionInfo(info); }
    bool SetPartitionType(uint8_t partitionType) override { return inner_->SetPartitionType(partitionType); }
    bool DismountVolume() override { return inner_->DismountVolume(); }
    bool UnlockVolume() override { return inner_->UnlockVolume(); }
    bool WriteAt(uint64_t byteOffset, const std::byte* data, uint32_t byteCount) override {
        const bool written = inner_->WriteAt(byteOffset, data, byteCount);
        if (written) {
            count_.Add(byteCount);
        }
        return written;
    }
    void CloseHandle() override { inner_->CloseHandle(); }

  private:
    std::unique_ptr<IVolume> inner_;
    WriteCount& count_;
};

class CountingBlockDevice final : public IBlockDevice {
  public:
    CountingBlockDevice(std::unique_ptr<IBlockDevice> inner, WriteCount& count)
        : inner_(std::move(inner)), count_(count) {}
    uint32_t SectorSize() const override { return inner_->SectorSize(); }
    uint64_t SectorCount() const override { return inner_->SectorCount(); }
    bool Read(uint64_t byteOffset, std::byte* data, std::size_t byteCount) override {
        return inner_->Read(byteOffset, data, byteCount);
    }
    bool Write(uint64_t byteOffset, const std::byte* data, std::size_t byteCount) override {
        const bool written = inner_->Write(byteOffset, data, byteCount);
        if (written) {
            count_.Add(byteCount);
        }
        return written;
    }
    bool Flush() override { return inner_->Flush(); }
    // The mount tells a format below it by this count: hiding it would keep a stale FAT in use.
    uint64_t ChangeCount() const override { return inner_->ChangeCount(); }

  private:
    std::unique_ptr<IBlockDevice> inner_;
    WriteCount& count_;
};

}  // namespace

std::unique_ptr<IVolume> CountingVolumeSystem::CreateFileW(std::u16string_view path, uint32_t desiredAccess,
                                                           uint32_t shareMode, uint32_t flagsAndAttributes) {
    std::unique_ptr<IVolume> volume = inner_.CreateFileW(path, desiredAccess, shareMode, flagsAndAttributes);
    if (!volume) {
        return nullptr;
    }
    return std::make_unique<CountingVolume>(std::move(volume), count_);
}

BlockDeviceFactory CountingBlockDevices(BlockDeviceFactory inner, WriteCount& count) {
    return [inner = std::move(inner), &count](const DriveTarget& target, bool writable,
                                              int& error) -> std::unique_ptr<IBlockDevice> {
        std::unique_ptr<IBlockDevice> device = inner(target, writable, error);
        if (!device) {
            return nullptr;
        }
        return std::make_unique<CountingBlockDevice>(std::move(device), count);
    };
}

}  // namespace tolven::linux_host
