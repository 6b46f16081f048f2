#include "tests/support/fake_volume.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace tolven::testing {
namespace {

constexpr std::size_t kPageBytes = 4096;

bool AllZero(const std::byte* data, std::size_t size) {
    return std::all_of(data, data + size, [](std::byte b) { return b == std::byte{0}; });
}

// Whether write number `n` (1-based) fails.
bool NthFails(int n, int failNumber, bool fromThenOn) {
    if (failNumber <= 0) {
        return false;
    }
    return fromThenOn ? n >= failNumber : n == failNumber;
}

VolumeCall CallOf(VolumeCallKind kind) {
    VolumeCall call;
    call.kind = kind;
    return call;
}

}  // namespace

class FakeVolume : public IVolume {
  public:
    explicit FakeVolume(FakeVolumeSystem& system) : system_(system) {}
    ~FakeVolume() override {
        if (!closed_) {
            ADD_FAILURE() << "the volume handle was never closed";
            Close();
        }
    }

    bool LockVolume() override {
        const int attempt = ++system_.lockAttempts_;
        const int succeedsAt = system_.faults.lockSucceedsAtAttempt;
        return Control(VolumeCallKind::kLock, succeedsAt != 0 && attempt >= succeedsAt);
    }
    bool GetDriveGeometry(DiskGeometry& geometry) override {
        const bool ok = Control(VolumeCallKind::kGetGeometry, !system_.faults.refuseGeometry);
        if (ok) {
            geometry = system_.geometry;
        }
        return ok;
    }
    bool GetPartitionInfo(PartitionInformation& info) override {
        const bool ok = Control(VolumeCallKind::kGetPartitionInfo, !system_.faults.refusePartitionInfo);
        if (ok) {
            info = system_.partition;
        }
        return ok;
    }
    bool SetPartitionType(uint8_t partitionType) override {
        const bool ok = Control(VolumeCallKind::kSetPartitionType, !system_.faults.refuseSetPartitionType);
        system_.calls.back().partitionType = partitionType;
        if (ok) {
            system_.partition.PartitionType = partitionType;
        }
        return ok;
    }
    bool DismountVolume() override {
        return Control(VolumeCallKind::kDismount, !system_.faults.refuseDismount);
    }
    bool UnlockVolume() override { return Control(VolumeCallKind::kUnlock, !system_.faults.refuseUnlock); }
    bool WriteFileAt(uint64_t byteOffset, const std::byte* data, uint32_t byteCount,
                     uint32_t& bytesWritten) override {
        CheckOpen("write");
        return system_.Write(byteOffset, data, byteCount, bytesWritten);
    }
    bool WriteAt(uint64_t byteOffset, const std::byte* data, uint32_t byteCount) override {
        return WriteWholeSectors(*this, byteOffset, data, byteCount);
    }
    void CloseHandle() override {
        CheckOpen("close");
        Close();
    }

  private:
    void CheckOpen(const char* what) {
        if (closed_) {
            ADD_FAILURE() << what << " on a closed volume handle";
        }
    }
    bool Control(VolumeCallKind kind, bool succeeds) {
        CheckOpen(ToString(kind));
        system_.calls.push_back(CallOf(kind));
        return succeeds;
    }
    void Close() {
        closed_ = true;
        system_.handleOpen_ = false;
        system_.calls.push_back(CallOf(VolumeCallKind::kClose));
    }

    FakeVolumeSystem& system_;
    bool closed_ = false;
};

const char* ToString(VolumeCallKind kind) {
    switch (kind) {
        case VolumeCallKind::kOpen:
            return "open";
        case VolumeCallKind::kLock:
            return "lock";
        case VolumeCallKind::kGetGeometry:
            return "get geometry";
        case VolumeCallKind::kGetPartitionInfo:
            return "get partition info";
        case VolumeCallKind::kSetPartitionType:
            return "set partition type";
        case VolumeCallKind::kDismount:
            return "dismount";
        case VolumeCallKind::kUnlock:
            return "unlock";
        case VolumeCallKind::kWrite:
            return "write";
        case VolumeCallKind::kClose:
            return "close";
        case VolumeCallKind::kSleep:
            return "sleep";
    }
    return "?";
}

void PrintTo(VolumeCallKind kind, std::ostream* os) {
    *os << ToString(kind);
}

FakeVolumeSystem::FakeVolumeSystem(uint64_t sectorCount, uint32_t bytesPerSector)
    : sectorCount_(sectorCount), sectorSize_(bytesPerSector) {
    geometry.BytesPerSector = bytesPerSector;
    geometry.SectorsPerTrack = 63;
    geometry.TracksPerCylinder = 255;
    geometry.MediaType = 12;  // FixedMedia
    geometry.Cylinders = static_cast<int64_t>(sectorCount / (63 * 255));
    partition.StartingOffset = 2048LL * bytesPerSector;
    partition.PartitionLength = static_cast<int64_t>(sectorCount * bytesPerSector);
    partition.HiddenSectors = 2048;
    partition.PartitionNumber = 1;
    partition.PartitionType = 0x07;
    partition.RecognizedPartition = true;
}

std::unique_ptr<IVolume> FakeVolumeSystem::CreateFileW(std::u16string_view path, uint32_t desiredAccess,
                                                       uint32_t shareMode, uint32_t flagsAndAttributes) {
    ++openAttempts_;
    VolumeCall call = CallOf(VolumeCallKind::kOpen);
    call.path = path;
    call.access = desiredAccess;
    call.share = shareMode;
    call.flags = flagsAndAttributes;
    calls.push_back(call);
    if (faults.openSucceedsAtAttempt == 0 || openAttempts_ < faults.openSucceedsAtAttempt) {
        const std::size_t index =
            std::min(static_cast<std::size_t>(openAttempts_ - 1), faults.openErrors.size() - 1);
        lastOpenError_ = faults.openErrors.empty() ? 0 : faults.openErrors[index];
        return nullptr;
    }
    if (handleOpen_) {
        ADD_FAILURE() << "a second handle opened while the first is still open";
    }
    handleOpen_ = true;
    return std::make_unique<FakeVolume>(*this);
}

bool FakeVolumeSystem::Write(uint64_t byteOffset, const std::byte* data, uint32_t byteCount,
                             uint32_t& bytesWritten) {
    bytesWritten = 0;
    ++writes_;
    VolumeCall call = CallOf(VolumeCallKind::kWrite);
    call.offset = byteOffset;
    call.size = byteCount;
    calls.push_back(call);
    // What an unbuffered volume insists on, and what stays inside the volume.
    EXPECT_EQ(byteOffset % sectorSize_, 0u) << "write at an offset that is not a whole sector";
    EXPECT_EQ(byteCount % sectorSize_, 0u) << "write of a partial sector";
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(data) % kPageBytes, 0u) << "write from an unaligned buffer";
    EXPECT_LE(byteOffset + byteCount, sectorCount_ * sectorSize_) << "write beyond the end of the volume";
    if (NthFails(writes_, faults.failWriteNumber, faults.writesFailFromThenOn)) {
        return faults.failedWritesFallShort;
    }
    for (uint32_t done = 0; done + sectorSize_ <= byteCount; done += sectorSize_) {
        const uint64_t sector = (byteOffset + done) / sectorSize_;
        if (AllZero(data + done, sectorSize_)) {
            sectors_.erase(sector);
        } else {
            sectors_[sector].assign(data + done, data + done + sectorSize_);
        }
    }
    bytesWritten = byteCount;
    return true;
}

std::vector<std::byte> FakeVolumeSystem::ReadSector(uint64_t sector) const {
    const auto found = sectors_.find(sector);
    return found != sectors_.end() ? found->second : std::vector<std::byte>(sectorSize_);
}

void FakeVolumeSystem::FillSector(uint64_t sector, std::byte value) {
    sectors_[sector].assign(sectorSize_, value);
}

std::vector<VolumeCall> FakeVolumeSystem::CallsOf(VolumeCallKind kind) const {
    std::vector<VolumeCall> found;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(found),
                 [kind](const VolumeCall& call) { return call.kind == kind; });
    return found;
}

void FakeClock::Sleep(uint32_t milliseconds) {
    sleeps.push_back(milliseconds);
    if (journal_ != nullptr) {
        journal_->push_back(CallOf(VolumeCallKind::kSleep));
    }
}

FakePageAllocator::~FakePageAllocator() {
    for (const auto& [pages, size] : live_) {
        std::free(pages);
    }
}

std::byte* FakePageAllocator::AllocatePages(std::size_t byteCount) {
    requests.push_back(byteCount);
    const int number = static_cast<int>(requests.size());
    if (number == failAllocationNumber) {
        return nullptr;
    }
    const std::size_t rounded =
        std::max<std::size_t>(kPageBytes, (byteCount + kPageBytes - 1) / kPageBytes * kPageBytes);
    auto* pages = static_cast<std::byte*>(std::aligned_alloc(kPageBytes, rounded));
    std::memset(pages, 0, rounded);
    live_[pages] = byteCount;
    return pages;
}

void FakePageAllocator::FreePages(std::byte* pages, std::size_t byteCount) {
    const auto found = live_.find(pages);
    if (found == live_.end()) {
        ADD_FAILURE() << "freeing pages that were not allocated (or twice)";
        return;
    }
    EXPECT_EQ(found->second, byteCount) << "freeing pages with another size than allocated";
    std::free(pages);
    live_.erase(found);
}

}  // namespace tolven::testing
