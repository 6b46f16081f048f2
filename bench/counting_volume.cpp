#include "bench/counting_volume.h"

namespace tolven::bench {

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
        const bool ok = inner_->WriteAt(byteOffset, data, byteCount);
        if (ok) {
            count_.bytes += byteCount;
            ++count_.writes;
        }
        return ok;
    }
    void CloseHandle() override { inner_->CloseHandle(); }

  private:
    std::unique_ptr<IVolume> inner_;
    WriteCount& count_;
};

}  // namespace

std::unique_ptr<IVolume> CountingVolumeSystem::CreateFileW(std::u16string_view path, uint32_t desiredAccess,
                                                           uint32_t shareMode, uint32_t flagsAndAttributes) {
    auto volume = inner_.CreateFileW(path, desiredAccess, shareMode, flagsAndAttributes);
    if (!volume) {
        return nullptr;
    }
    return std::make_unique<CountingVolume>(std::move(volume), count_);
}

}  // namespace tolven::bench
