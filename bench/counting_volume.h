// Benchmark helper: a volume system that passes everything through to a real one and counts
// the bytes and write calls that reach its volumes.
#pragma once

#include <cstdint>
#include <memory>

#include "fat32/volume_access.h"

namespace tolven::bench {

struct WriteCount {
    uint64_t bytes = 0;
    uint64_t writes = 0;
};

class CountingVolumeSystem final : public IVolumeSystem {
  public:
    explicit CountingVolumeSystem(IVolumeSystem& inner) : inner_(inner) {}
    std::unique_ptr<IVolume> CreateFileW(std::u16string_view path, uint32_t desiredAccess, uint32_t shareMode,
                                         uint32_t flagsAndAttributes) override;
    int32_t LastOpenError() const override { return inner_.LastOpenError(); }
    const WriteCount& Count() const { return count_; }

  private:
    IVolumeSystem& inner_;
    WriteCount count_;
};

}  // namespace tolven::bench
