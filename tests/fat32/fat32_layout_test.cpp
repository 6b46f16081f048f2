#include "fat32/fat32_layout.h"

#include <gtest/gtest.h>

#include <bit>
#include <string>

#include "fat32/format_messages.h"

namespace tolven {
namespace {

namespace msg = format_messages;

constexpr int64_t kMiB = 1'048'576;
constexpr int64_t k40GB = 40'007'729'664;  // 78,140,097 sectors
constexpr int64_t k20GB = 20'003'880'960;  // 39,070,080 sectors

int64_t Sectors(int64_t count) {
    return count * 512;
}

std::u16string Text(const char16_t* text) {
    return text == nullptr ? u"(admitted)" : text;
}

TEST(AdmitVolumeSizeTest, AdmitsOnly65536To4294967294Sectors) {
    struct Case {
        const char* name;
        int64_t partitionLength;
        const char16_t* refusal;
        uint32_t totalSectors;
    };
    const Case cases[] = {
        {"one sector below the smallest", Sectors(65'535), msg::kVolumeTooSmall, 0},
        {"the smallest", Sectors(65'536), nullptr, 65'536},
        {"a partial sector is not part of the volume", Sectors(65'536) + 511, nullptr, 65'536},
        {"a partial sector does not make the smallest", Sectors(65'536) - 1, msg::kVolumeTooSmall, 0},
        {"the largest", Sectors(4'294'967'294), nullptr, 4'294'967'294u},
        {"2^32 - 1 sectors", Sectors(4'294'967'295), msg::kVolumeTooLarge, 0},
        {"2^32 sectors, 2 TiB", Sectors(4'294'967'296), msg::kVolumeTooLarge, 0},
        {"far beyond 32 bits", INT64_MAX, msg::kVolumeTooLarge, 0},
        {"empty", 0, msg::kVolumeTooSmall, 0},
        {"negative length", -Sectors(70'000), msg::kVolumeTooSmall, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SizeAdmission admission = AdmitVolumeSize(c.partitionLength, 512);
        EXPECT_EQ(Text(admission.refusal), Text(c.refusal));
        EXPECT_EQ(admission.totalSectors, c.totalSectors);
    }
}

TEST(ChooseSectorsPerClusterTest, RaisesTheClusterOnlyStrictlyAboveEachStep) {
    struct Case {
        int64_t partitionLength;
        uint32_t bytesPerSector;
        unsigned expected;
    };
    const Case cases[] = {
        {512 * kMiB, 512, 1},
        {512 * kMiB + kMiB - 1, 512, 1},
        {513 * kMiB, 512, 8},
        {8'192 * kMiB, 512, 8},
        {8'193 * kMiB, 512, 16},
        {16'384 * kMiB, 512, 16},
        {16'385 * kMiB, 512, 32},
        {32'768 * kMiB, 512, 32},
        {32'769 * kMiB, 512, 64},
        {k40GB, 512, 64},
        {-1, 512, 1},
        {0, 512, 1},
        {513 * kMiB, 4'096, 1},
        {32'769 * kMiB, 4'096, 8},
        {32'769 * kMiB, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.partitionLength) + " bytes at " + std::to_string(c.bytesPerSector));
        EXPECT_EQ(ChooseSectorsPerCluster(c.partitionLength, c.bytesPerSector), c.expected);
    }
}

TEST(ComputeFat32LayoutTest, KnownVolumes) {
    struct Case {
        const char* name;
        int64_t partitionLength;
        uint32_t requestedSectorsPerCluster;
        uint32_t sectorsPerCluster;
        uint32_t fatSize;
        uint32_t clusterCount;
        uint32_t clearCount;
    };
    const Case cases[] = {
        // The size formula leaves this FAT one entry short (1,025 entries in 8 sectors): one more.
        {"smallest volume", Sectors(65'536), 64, 64, 9, 1'023, 114},
        {"20 GB", k20GB, 64, 64, 4'769, 610'320, 32 + 2 * 4'769 + 64},
        {"40 GB", k40GB, 64, 64, 9'537, 1'220'640, 19'170},
        {"40 GB, cluster chosen by size", k40GB, 0, 64, 9'537, 1'220'640, 19'170},
        {"largest volume", Sectors(4'294'967'294), 64, 64, 524'161, 67'092'483, 32 + 2 * 524'161 + 64},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const uint32_t total = AdmitVolumeSize(c.partitionLength, 512).totalSectors;
        const Fat32Layout layout =
            ComputeFat32Layout(c.partitionLength, 512, total, c.requestedSectorsPerCluster);
        EXPECT_EQ(layout.bytesPerSector, 512u);
        EXPECT_EQ(layout.totalSectors, total);
        EXPECT_EQ(layout.sectorsPerCluster, c.sectorsPerCluster);
        EXPECT_EQ(layout.reservedSectors, 32u);
        EXPECT_EQ(layout.fatCount, 2u);
        EXPECT_EQ(layout.fatSize, c.fatSize);
        EXPECT_EQ(layout.clusterCount, c.clusterCount);
        EXPECT_EQ(layout.freeClusters, c.clusterCount - 1);
        EXPECT_EQ(layout.ClearCount(), c.clearCount);
        EXPECT_EQ(CheckClusterLimits(layout), nullptr);
    }
}

// For every admitted size and every consistent cluster size: the FAT holds an entry for each
// cluster and the two reserved ones, the clusters fit behind the FATs, and no cluster that
// would fit is left out.
TEST(ComputeFat32LayoutTest, TheFatAlwaysHoldsEveryClusterAndTheReservedEntries) {
    std::vector<uint32_t> sizes = {65'536, 65'537, 65'600, 78'140'097, 39'070'080, 4'294'967'294u};
    uint64_t x = 88172645463325252ull;  // xorshift: a fixed, spread-out sample of sizes
    for (int i = 0; i < 3'000; ++i) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        sizes.push_back(65'536 + static_cast<uint32_t>(x % (i % 2 == 0 ? 4'000'000 : 4'294'901'759u)));
    }
    const uint32_t clusterSizes[] = {1, 2, 7, 8, 16, 32, 63, 64, 128, 255};
    int enlarged = 0;
    for (uint32_t total : sizes) {
        for (uint32_t spc : clusterSizes) {
            const Fat32Layout layout = ComputeFat32Layout(Sectors(total), 512, total, spc);
            const uint64_t fatBytes = uint64_t{layout.fatSize} * 512;
            ASSERT_GE(fatBytes, (uint64_t{layout.clusterCount} + 2) * 4) << total << " sectors, spc " << spc;
            ASSERT_LE(layout.DataStartSector() + uint64_t{layout.clusterCount} * spc, total)
                << total << " sectors, spc " << spc;
            ASSERT_LT(total - layout.DataStartSector() - uint64_t{layout.clusterCount} * spc, spc)
                << total << " sectors, spc " << spc;
            const uint32_t formulaFat =
                static_cast<uint32_t>((uint64_t{total - 32} * 4) / (spc * 512ull + 8)) + 1;
            ASSERT_LE(layout.fatSize - formulaFat, 1u) << total << " sectors, spc " << spc;
            enlarged += layout.fatSize != formulaFat;
            // The FAT capacity never trips: what is refused, is refused for its clusters.
            const bool writable =
                std::has_single_bit(spc) && spc <= 128 && layout.clusterCount <= kLargestClusterCount;
            ASSERT_EQ(CheckClusterLimits(layout), writable ? nullptr : msg::kTooManyClusters)
                << total << " sectors, spc " << spc;
        }
    }
    EXPECT_GT(enlarged, 0);  // the sample does reach the sizes that need the extra sector
}

TEST(CheckClusterLimitsTest, RefusesTooManyClustersAndAFatTooSmallForItsEntries) {
    struct Case {
        const char* name;
        uint32_t sectorsPerCluster;
        uint32_t fatSize;
        uint32_t clusterCount;
        const char16_t* refusal;
    };
    const Case cases[] = {
        // The highest cluster number must stay below the reserved 0x0FFFFFF7.
        {"0x0FFFFFF5 clusters", 1, 2'097'153, 268'435'445, nullptr},
        {"0x0FFFFFF6 clusters", 1, 2'097'153, 268'435'446, msg::kTooManyClusters},
        {"2^28 - 1 clusters", 1, 2'097'153, 268'435'455, msg::kTooManyClusters},
        {"2^28 clusters", 1, 2'097'153, 268'435'456, msg::kTooManyClusters},
        // Cluster sizes a boot sector can describe.
        {"128 sectors per cluster", 128, 8, 1'000, nullptr},
        {"129 sectors per cluster", 129, 8, 1'000, msg::kTooManyClusters},
        {"255 sectors per cluster", 255, 8, 1'000, msg::kTooManyClusters},
        {"256 sectors per cluster", 256, 8, 1'000, msg::kTooManyClusters},
        {"3 sectors per cluster", 3, 8, 1'000, msg::kTooManyClusters},
        {"no sectors per cluster", 0, 8, 1'000, msg::kTooManyClusters},
        {"FAT exactly full, reserved entries included", 1, 8, 1'022, nullptr},
        {"FAT one entry short", 1, 8, 1'023, msg::kFatTooSmall},
        {"FAT one sector short", 1, 8, 1'200, msg::kFatTooSmall},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fat32Layout layout;
        layout.totalSectors = 4'000'000'000u;
        layout.sectorsPerCluster = c.sectorsPerCluster;
        layout.fatSize = c.fatSize;
        layout.clusterCount = c.clusterCount;
        EXPECT_EQ(Text(CheckClusterLimits(layout)), Text(c.refusal));
    }
}

TEST(LayoutLinesTest, ReportTheLayoutInSixExactLines) {
    struct Case {
        const char* name;
        int64_t partitionLength;
        uint32_t volumeId;
        std::array<std::u16string, 6> lines;
    };
    const Case cases[] = {
        {"smallest volume shows 0 GB; hex halves without leading zeros, lower case",
         Sectors(65'536),
         0x1F230042,
         {u"Size : 0GB   65536 sectors", u"512 Bytes Per Sector, Cluster size 32768 bytes",
          u"Volume ID is 1f23:42", u"32 Reserved Sectors, 9 Sectors per FAT, 2 fats", u"1023 Total clusters",
          u"1022 Free Clusters"}},
        {"largest volume",
         Sectors(4'294'967'294),
         0,
         {u"Size : 2199GB   4294967294 sectors", u"512 Bytes Per Sector, Cluster size 32768 bytes",
          u"Volume ID is 0:0", u"32 Reserved Sectors, 524161 Sectors per FAT, 2 fats",
          u"67092483 Total clusters", u"67092482 Free Clusters"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const uint32_t total = AdmitVolumeSize(c.partitionLength, 512).totalSectors;
        const Fat32Layout layout = ComputeFat32Layout(c.partitionLength, 512, total, 64);
        const auto lines = LayoutLines(layout, c.partitionLength, c.volumeId);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(lines[i], c.lines[i]) << "line " << i + 1;
        }
    }
}

}  // namespace
}  // namespace tolven
