// FAT32 file layer: allocating, freeing and filling clusters.
#include <algorithm>
#include <cstring>

#include "fatfs/fat32_volume.h"
#include "fatfs/fat32_volume_detail.h"

namespace tolven {

using namespace volume_detail;

FatStatus Fat32Volume::Allocate(uint32_t count, std::vector<uint32_t>& clusters) {
    if (FatStatus status = fat_->FindFree(count, allocationHint_, clusters); !status.ok()) {
        return status;
    }
    for (std::size_t i = 0; i < clusters.size(); ++i) {
        const uint32_t next = i + 1 < clusters.size() ? clusters[i + 1] : kFatEntryEndOfChain;
        if (FatStatus status = fat_->Set(clusters[i], next); !status.ok()) {
            return status;
        }
    }
    if (!clusters.empty()) {
        allocationHint_ = clusters.back() + 1;
    }
    return FatStatus::Ok();
}

FatStatus Fat32Volume::FreeChain(uint32_t firstCluster) {
    uint32_t cluster = firstCluster;
    for (uint32_t steps = 0; steps < geometry_.clusterCount; ++steps) {
        if (!geometry_.IsDataCluster(cluster)) {
            return Damaged("a chain runs to cluster " + std::to_string(cluster));
        }
        uint32_t next = 0;
        if (FatStatus status = fat_->Get(cluster, next); !status.ok()) {
            return status;
        }
        if (next == 0) {
            return Damaged("a chain runs into the free cluster " + std::to_string(cluster));
        }
        if (FatStatus status = fat_->Set(cluster, 0); !status.ok()) {
            return status;
        }
        if (next >= kFatEntryEndOfChainMin) {
            return FatStatus::Ok();
        }
        cluster = next;
    }
    return Damaged("a chain loops");
}

FatStatus Fat32Volume::WriteZeroCluster(uint32_t cluster, std::span<const std::byte> head) {
    std::vector<std::byte> zeros(geometry_.ClusterBytes(), std::byte{0});
    std::copy(head.begin(), head.end(), zeros.begin());
    unflushedData_ = true;
    if (!device_.Write(geometry_.ClusterOffset(cluster), zeros.data(), zeros.size())) {
        return IoFailure("write the directory cluster " + std::to_string(cluster));
    }
    return FatStatus::Ok();
}

FatStatus Fat32Volume::WriteData(const std::vector<uint32_t>& clusters, const std::byte* data,
                                 std::size_t byteCount) {
    const uint32_t clusterBytes = geometry_.ClusterBytes();
    const uint32_t sectorBytes = geometry_.bytesPerSector;
    unflushedData_ = true;
    std::size_t done = 0;
    std::size_t i = 0;
    while (done < byteCount) {
        // One write per run of adjacent clusters, straight from the caller's bytes.
        std::size_t run = 1;
        while (i + run < clusters.size() && clusters[i + run] == clusters[i] + run) {
            ++run;
        }
        const std::size_t runBytes = std::min(run * clusterBytes, byteCount - done);
        const std::size_t wholeSectors = runBytes / sectorBytes * sectorBytes;
        const uint64_t offset = geometry_.ClusterOffset(clusters[i]);
        if (wholeSectors > 0 && !device_.Write(offset, data + done, wholeSectors)) {
            return IoFailure("write file data at cluster " + std::to_string(clusters[i]));
        }
        if (wholeSectors < runBytes) {
            // The last, partial sector: the rest of it is zero.
            std::vector<std::byte> tail(sectorBytes, std::byte{0});
            std::memcpy(tail.data(), data + done + wholeSectors, runBytes - wholeSectors);
            if (!device_.Write(offset + wholeSectors, tail.data(), tail.size())) {
                return IoFailure("write file data at cluster " + std::to_string(clusters[i]));
            }
        }
        done += runBytes;
        i += run;
    }
    return FatStatus::Ok();
}

}  // namespace tolven
