// In-memory stand-ins for the formatter's operating-system side: a volume system with one fake
// volume, a clock and a page allocator. Each records what was asked of it and can be told to
// refuse: an open or a lock that succeeds only at attempt K (or never), any other device control
// refused, any sector size, write number N failing or falling short (reported as done with
// nothing written) once or from then on, allocation number N failing.
// The volume keeps what was written, sparsely (only sectors that are not all zero are stored),
// so a 2 TiB volume costs nothing until it is written. It also fails the running test when a
// write is not whole, aligned sectors inside the volume, when a closed handle is used, and when a
// handle is dropped without CloseHandle (the formatter closes on every path).
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "fat32/volume_access.h"

namespace tolven::testing {

enum class VolumeCallKind {
    kOpen,
    kLock,
    kGetGeometry,
    kGetPartitionInfo,
    kSetPartitionType,
    kDismount,
    kUnlock,
    kWrite,
    kClose,
    kSleep,
};

// One recorded call; only the members of its kind are meaningful.
struct VolumeCall {
    VolumeCallKind kind = VolumeCallKind::kOpen;
    std::u16string path;  // open
    uint32_t access = 0;  // open
    uint32_t share = 0;   // open
    uint32_t flags = 0;   // open
    uint64_t offset = 0;  // write, bytes
    uint32_t size = 0;    // write, bytes
    uint8_t partitionType = 0;
};

const char* ToString(VolumeCallKind kind);
void PrintTo(VolumeCallKind kind, std::ostream* os);  // readable failure messages

struct FakeVolumeFaults {
    int openSucceedsAtAttempt = 1;           // 0: never
    std::vector<int32_t> openErrors = {32};  // error of failed attempt i (the last repeats)
    int lockSucceedsAtAttempt = 1;           // 0: never
    bool refuseGeometry = false;
    bool refusePartitionInfo = false;
    bool refuseSetPartitionType = false;
    bool refuseDismount = false;
    bool refuseUnlock = false;
    int failWriteNumber = 0;  // 1-based count of writes; 0: no write fails
    bool writesFailFromThenOn = false;
    bool failedWritesFallShort = false;  // the failing writes report success with no byte written
};

using SectorMap = std::map<uint64_t, std::vector<std::byte>>;

class FakeVolumeSystem : public IVolumeSystem {
  public:
    // A volume of sectorCount sectors filling its whole partition, with a plausible geometry.
    explicit FakeVolumeSystem(uint64_t sectorCount, uint32_t bytesPerSector = 512);

    std::unique_ptr<IVolume> CreateFileW(std::u16string_view path, uint32_t desiredAccess, uint32_t shareMode,
                                         uint32_t flagsAndAttributes) override;
    int32_t LastOpenError() const override { return lastOpenError_; }

    // What the device controls report; tests may change them before the format.
    DiskGeometry geometry;
    PartitionInformation partition;
    FakeVolumeFaults faults;
    // Every call in order, the clock's sleeps included when the clock is attached.
    std::vector<VolumeCall> calls;

    // Stored content: only sectors that are not all zero.
    const SectorMap& sectors() const { return sectors_; }
    std::vector<std::byte> ReadSector(uint64_t sector) const;  // zeros where nothing is stored
    void FillSector(uint64_t sector, std::byte value);
    std::vector<VolumeCall> CallsOf(VolumeCallKind kind) const;

  private:
    friend class FakeVolume;
    bool Write(uint64_t byteOffset, const std::byte* data, uint32_t byteCount, uint32_t& bytesWritten);

    uint64_t sectorCount_;
    uint32_t sectorSize_;
    SectorMap sectors_;
    int openAttempts_ = 0;
    int lockAttempts_ = 0;
    int writes_ = 0;
    int32_t lastOpenError_ = 0;
    bool handleOpen_ = false;
};

class FakeClock : public IClock {
  public:
    explicit FakeClock(std::vector<VolumeCall>* journal = nullptr) : journal_(journal) {}
    SystemTime GetLocalTime() override {
        ++timeReads;
        return now;
    }
    void Sleep(uint32_t milliseconds) override;

    SystemTime now{2024, 3, 5, 15, 14, 30, 45, 678};
    int timeReads = 0;
    std::vector<uint32_t> sleeps;

  private:
    std::vector<VolumeCall>* journal_;
};

// Page-aligned, zero-filled blocks; checks that every block is given back once with its size.
class FakePageAllocator : public IPageAllocator {
  public:
    ~FakePageAllocator() override;
    std::byte* AllocatePages(std::size_t byteCount) override;
    void FreePages(std::byte* pages, std::size_t byteCount) override;

    int failAllocationNumber = 0;       // 1-based; 0: none fails
    std::vector<std::size_t> requests;  // sizes asked for, in order
    std::size_t liveBlocks() const { return live_.size(); }

  private:
    std::map<std::byte*, std::size_t> live_;
};

}  // namespace tolven::testing
