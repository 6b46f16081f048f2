// Linux host, terminal: the bytes a format writes, counted where they leave the program: the
// formatter's volume writes and the FAT32 file layer's block writes. Both are wrapped, so the
// portable core knows nothing of the count.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "fat32/volume_access.h"
#include "platform/linux/fatfs/fat_drive_access.h"

namespace tolven::linux_host {

// Called after every successful write with the bytes written so far.
using WrittenBytesSink = std::function<void(uint64_t total)>;

class WriteCount {
  public:
    explicit WriteCount(WrittenBytesSink sink) : sink_(std::move(sink)) {}
    void Add(uint64_t bytes) {
        total_ += bytes;
        ++writes_;
        if (sink_) {
            sink_(total_);
        }
    }
    uint64_t Total() const { return total_; }
    uint64_t Writes() const { return writes_; }  // successful write calls

  private:
    WrittenBytesSink sink_;
    uint64_t total_ = 0;
    uint64_t writes_ = 0;
};

// The volume system whose volumes count their writes into `count`.
class CountingVolumeSystem final : public IVolumeSystem {
  public:
    CountingVolumeSystem(IVolumeSystem& inner, WriteCount& count) : inner_(inner), count_(count) {}
    std::unique_ptr<IVolume> CreateFileW(std::u16string_view path, uint32_t desiredAccess, uint32_t shareMode,
                                         uint32_t flagsAndAttributes) override;
    int32_t LastOpenError() const override { return inner_.LastOpenError(); }

  private:
    IVolumeSystem& inner_;
    WriteCount& count_;
};

// The factory whose block devices count their writes into `count`.
BlockDeviceFactory CountingBlockDevices(BlockDeviceFactory inner, WriteCount& count);

}  // namespace tolven::linux_host
