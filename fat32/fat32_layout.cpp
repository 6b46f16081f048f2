#include "fat32/fat32_layout.h"

#include <bit>

#include "fat32/format_messages.h"
#include "fat32/log_text.h"

namespace tolven {
namespace {

constexpr int64_t kBytesPerMiB = 1'048'576;
constexpr int64_t kBytesPerDecimalGB = 1'000'000'000;

// (size in whole MiB strictly above, cluster bytes); the last row that matches wins.
struct ClusterSizeStep {
    int64_t aboveMiB;
    uint32_t clusterBytes;
};
constexpr ClusterSizeStep kClusterSizeSteps[] = {
    {512, 4'096},
    {8'192, 8'192},
    {16'384, 16'384},
    {32'768, 32'768},
};

uint32_t FatSizeByFormula(uint32_t totalSectors, uint32_t sectorsPerCluster, uint32_t bytesPerSector) {
    const uint64_t dividend = static_cast<uint64_t>(totalSectors - kFat32ReservedSectors) * kFatEntryBytes;
    const uint64_t divisor = static_cast<uint64_t>(sectorsPerCluster) * bytesPerSector + 8;
    return static_cast<uint32_t>(dividend / divisor) + 1;
}

uint32_t ClustersAfterFats(uint32_t totalSectors, uint32_t fatSize, uint32_t sectorsPerCluster) {
    return (totalSectors - kFat32FatCount * fatSize - kFat32ReservedSectors) / sectorsPerCluster;
}

// Bytes the FAT needs: one entry per data cluster and the two reserved entries.
uint64_t FatBytesNeeded(uint32_t clusterCount) {
    return (static_cast<uint64_t>(clusterCount) + kReservedFatEntries) * kFatEntryBytes;
}

}  // namespace

uint8_t ChooseSectorsPerCluster(int64_t partitionLength, uint32_t bytesPerSector) {
    if (partitionLength < 0 || bytesPerSector == 0) {
        return 1;
    }
    const int64_t wholeMiB = partitionLength / kBytesPerMiB;
    uint32_t sectorsPerCluster = 1;
    for (const ClusterSizeStep& step : kClusterSizeSteps) {
        if (wholeMiB > step.aboveMiB) {
            sectorsPerCluster = step.clusterBytes / bytesPerSector;
        }
    }
    // Sectors larger than a cluster step would make a cluster of no sectors.
    return static_cast<uint8_t>(sectorsPerCluster == 0 ? 1 : sectorsPerCluster);
}

SizeAdmission AdmitVolumeSize(int64_t partitionLength, uint32_t bytesPerSector) {
    if (bytesPerSector == 0) {
        return {0, format_messages::kVolumeTooSmall};
    }
    const int64_t sectors = partitionLength / static_cast<int64_t>(bytesPerSector);
    if (sectors > static_cast<int64_t>(UINT32_MAX)) {
        return {0, format_messages::kVolumeTooLarge};
    }
    if (sectors < static_cast<int64_t>(kSmallestVolumeSectors)) {
        return {0, format_messages::kVolumeTooSmall};
    }
    if (sectors > static_cast<int64_t>(kLargestVolumeSectors)) {
        return {0, format_messages::kVolumeTooLarge};
    }
    return {static_cast<uint32_t>(sectors), nullptr};
}

Fat32Layout ComputeFat32Layout(int64_t partitionLength, uint32_t bytesPerSector, uint32_t totalSectors,
                               uint32_t requestedSectorsPerCluster) {
    Fat32Layout layout;
    layout.bytesPerSector = bytesPerSector;
    layout.totalSectors = totalSectors;
    layout.sectorsPerCluster = requestedSectorsPerCluster != 0
                                   ? requestedSectorsPerCluster
                                   : ChooseSectorsPerCluster(partitionLength, bytesPerSector);
    layout.fatSize = FatSizeByFormula(totalSectors, layout.sectorsPerCluster, bytesPerSector);
    layout.clusterCount = ClustersAfterFats(totalSectors, layout.fatSize, layout.sectorsPerCluster);
    // The size formula ignores the two reserved entries and so falls one entry short for some
    // sizes; one more FAT sector always covers them (it can only lower the cluster count).
    if (FatBytesNeeded(layout.clusterCount) > static_cast<uint64_t>(layout.fatSize) * bytesPerSector) {
        layout.fatSize += 1;
        layout.clusterCount = ClustersAfterFats(totalSectors, layout.fatSize, layout.sectorsPerCluster);
    }
    layout.freeClusters = layout.clusterCount - 1;
    return layout;
}

const char16_t* CheckClusterLimits(const Fat32Layout& layout) {
    const bool clusterSizeValid = std::has_single_bit(layout.sectorsPerCluster) &&
                                  layout.sectorsPerCluster <= kLargestSectorsPerCluster;
    if (!clusterSizeValid || layout.clusterCount > kLargestClusterCount) {
        return format_messages::kTooManyClusters;
    }
    const uint64_t fatSectorsNeeded =
        (FatBytesNeeded(layout.clusterCount) + layout.bytesPerSector - 1) / layout.bytesPerSector;
    if (fatSectorsNeeded > layout.fatSize) {
        return format_messages::kFatTooSmall;
    }
    return nullptr;
}

std::array<std::u16string, 6> LayoutLines(const Fat32Layout& layout, int64_t partitionLength,
                                          uint32_t volumeId) {
    // Whole decimal gigabytes, shown through %g so that no fractional digits appear.
    const double wholeGigabytes = static_cast<double>(partitionLength / kBytesPerDecimalGB);
    return {
        FormatAsciiLine("Size : %gGB   %u sectors", wholeGigabytes, layout.totalSectors),
        FormatAsciiLine("%u Bytes Per Sector, Cluster size %u bytes", layout.bytesPerSector,
                        layout.sectorsPerCluster * layout.bytesPerSector),
        FormatAsciiLine("Volume ID is %x:%x", volumeId >> 16, volumeId & 0xFFFFu),
        FormatAsciiLine("%u Reserved Sectors, %u Sectors per FAT, %u fats", unsigned{layout.reservedSectors},
                        layout.fatSize, unsigned{layout.fatCount}),
        FormatAsciiLine("%u Total clusters", layout.clusterCount),
        FormatAsciiLine("%u Free Clusters", layout.freeClusters),
    };
}

}  // namespace tolven
