#include "tests/fatfs/memory_block_device.h"

#include <cstring>

namespace tolven::testing {

bool MemoryBlockDevice::InRange(uint64_t byteOffset, std::size_t byteCount) const {
    return byteOffset % sectorSize_ == 0 && byteCount % sectorSize_ == 0 &&
           byteOffset / sectorSize_ + byteCount / sectorSize_ <= sectorCount_;
}

bool MemoryBlockDevice::Read(uint64_t byteOffset, std::byte* data, std::size_t byteCount) {
    ++readCount;
    if (failReadAt_ != 0 && readCount >= failReadAt_) {
        return false;
    }
    if (!InRange(byteOffset, byteCount)) {
        return false;
    }
    for (std::size_t done = 0; done < byteCount; done += sectorSize_) {
        const auto found = sectors_.find((byteOffset + done) / sectorSize_);
        if (found == sectors_.end()) {
            std::memset(data + done, 0, sectorSize_);
        } else {
            std::memcpy(data + done, found->second.data(), sectorSize_);
        }
    }
    return true;
}

bool MemoryBlockDevice::Write(uint64_t byteOffset, const std::byte* data, std::size_t byteCount) {
    ++writeCount;
    if (failWriteAt_ != 0 && writeCount == failWriteAt_) {
        return false;
    }
    if (!InRange(byteOffset, byteCount)) {
        return false;
    }
    for (std::size_t done = 0; done < byteCount; done += sectorSize_) {
        auto& sector = sectors_[(byteOffset + done) / sectorSize_];
        sector.assign(data + done, data + done + sectorSize_);
    }
    writeSizes.push_back(byteCount);
    journal.push_back({byteOffset, byteCount, false});
    return true;
}

std::vector<std::byte> MemoryBlockDevice::Bytes(uint64_t byteOffset, std::size_t byteCount) const {
    std::vector<std::byte> bytes(byteCount);
    for (std::size_t i = 0; i < byteCount; ++i) {
        const uint64_t at = byteOffset + i;
        const auto found = sectors_.find(at / sectorSize_);
        bytes[i] = found == sectors_.end() ? std::byte{0} : found->second[at % sectorSize_];
    }
    return bytes;
}

void MemoryBlockDevice::Poke(uint64_t byteOffset, const std::vector<std::byte>& bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const uint64_t at = byteOffset + i;
        auto& sector = sectors_[at / sectorSize_];
        sector.resize(sectorSize_);
        sector[at % sectorSize_] = bytes[i];
    }
}

}  // namespace tolven::testing
