// An in-memory volume for the FAT32 file layer's tests: sparse (unwritten sectors read as zero,
// so a 2 GiB volume costs only what is written), counting every call, failing on demand.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "fatfs/block_device.h"

namespace tolven::testing {

class MemoryBlockDevice : public IBlockDevice {
  public:
    MemoryBlockDevice(uint64_t sectorCount, uint32_t sectorSize = 512)
        : sectorCount_(sectorCount), sectorSize_(sectorSize) {}

    uint32_t SectorSize() const override { return sectorSize_; }
    uint64_t SectorCount() const override { return sectorCount_; }
    bool Read(uint64_t byteOffset, std::byte* data, std::size_t byteCount) override;
    bool Write(uint64_t byteOffset, const std::byte* data, std::size_t byteCount) override;
    bool Flush() override {
        journal.push_back({0, 0, true});
        return true;
    }

    // Write number n (1-based, counted from now) fails.
    void FailWrite(uint32_t n) { failWriteAt_ = writeCount + n; }
    void FailReadsFrom(uint32_t n) { failReadAt_ = readCount + n; }

    // Helpers for checks: whole sectors, zeros where nothing was written.
    std::vector<std::byte> Bytes(uint64_t byteOffset, std::size_t byteCount) const;
    void Poke(uint64_t byteOffset, const std::vector<std::byte>& bytes);

    uint32_t readCount = 0;
    uint32_t writeCount = 0;
    std::vector<std::size_t> writeSizes;  // byte count of every successful write
    // Every successful write and every flush, in order: what a device may reorder between flushes.
    struct Access {
        uint64_t byteOffset = 0;
        std::size_t byteCount = 0;
        bool flush = false;
    };
    std::vector<Access> journal;

  private:
    bool InRange(uint64_t byteOffset, std::size_t byteCount) const;

    uint64_t sectorCount_;
    uint32_t sectorSize_;
    std::map<uint64_t, std::vector<std::byte>> sectors_;
    uint32_t failWriteAt_ = 0;
    uint32_t failReadAt_ = 0;
};

}  // namespace tolven::testing
