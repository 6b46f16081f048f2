// Opening a volume: what is refused, why, and that a refused volume is never written.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "fatfs/fat32_volume.h"
#include "tests/fatfs/memory_block_device.h"
#include "tests/fatfs/test_volume.h"
#include "tests/support/little_endian.h"

namespace tolven {
namespace {

using testing::FormatTestVolume;
using testing::MemoryBlockDevice;

void Put(MemoryBlockDevice& device, uint64_t offset, std::initializer_list<uint8_t> bytes) {
    std::vector<std::byte> raw;
    for (const uint8_t b : bytes) {
        raw.push_back(std::byte{b});
    }
    device.Poke(offset, raw);
}

struct OpenCase {
    const char* name;
    std::function<void(MemoryBlockDevice&)> damage;
    FatError expected;
};

TEST(Fat32OpenTest, RefusesVolumesThatAreNotSoundFat32) {
    const OpenCase cases[] = {
        // Not FAT32 at all.
        {"blank volume", [](MemoryBlockDevice& d) { d.Poke(0, std::vector<std::byte>(512)); },
         FatError::kNotFat32},
        {"no 55 AA signature",
         [](MemoryBlockDevice& d) {
             Put(d, 510, {0x55, 0x00});
         },
         FatError::kNotFat32},
        {"no jump instruction", [](MemoryBlockDevice& d) { Put(d, 0, {0x00}); }, FatError::kNotFat32},
        {"16-bit FAT size (FAT16)",
         [](MemoryBlockDevice& d) {
             Put(d, 22, {0x10, 0x00});
         },
         FatError::kNotFat32},
        {"fixed root directory",
         [](MemoryBlockDevice& d) {
             Put(d, 17, {0x00, 0x02});
         },
         FatError::kNotFat32},
        {"no sector count",
         [](MemoryBlockDevice& d) {
             Put(d, 32, {0, 0, 0, 0});
         },
         FatError::kNotFat32},
        {"16-bit sector count differs",
         [](MemoryBlockDevice& d) {
             Put(d, 19, {0x00, 0x10});
         },
         FatError::kInconsistent},
        {"unknown version",
         [](MemoryBlockDevice& d) {
             Put(d, 42, {0x00, 0x01});
         },
         FatError::kNotFat32},
        // Fields that contradict each other or the device.
        {"bytes per sector 1000",
         [](MemoryBlockDevice& d) {
             Put(d, 11, {0xE8, 0x03});
         },
         FatError::kInconsistent},
        {"bytes per sector unlike device",
         [](MemoryBlockDevice& d) {
             Put(d, 11, {0x00, 0x10});
         },
         FatError::kInconsistent},
        {"zero sectors per cluster", [](MemoryBlockDevice& d) { Put(d, 13, {0}); }, FatError::kInconsistent},
        {"3 sectors per cluster", [](MemoryBlockDevice& d) { Put(d, 13, {3}); }, FatError::kInconsistent},
        {"no FAT", [](MemoryBlockDevice& d) { Put(d, 16, {0}); }, FatError::kInconsistent},
        {"three FATs", [](MemoryBlockDevice& d) { Put(d, 16, {3}); }, FatError::kInconsistent},
        {"FSInfo outside reserved area",
         [](MemoryBlockDevice& d) {
             Put(d, 48, {40, 0});
         },
         FatError::kInconsistent},
        {"FSInfo at sector 0",
         [](MemoryBlockDevice& d) {
             Put(d, 48, {0, 0});
         },
         FatError::kInconsistent},
        {"backup boot sector on FSInfo",
         [](MemoryBlockDevice& d) {
             Put(d, 50, {1, 0});
         },
         FatError::kInconsistent},
        {"active FAT that does not exist",
         [](MemoryBlockDevice& d) {
             Put(d, 40, {0x82, 0});
         },
         FatError::kInconsistent},
        {"FAT too small for the clusters",
         [](MemoryBlockDevice& d) {
             Put(d, 36, {1, 0, 0, 0});
         },
         FatError::kInconsistent},
        {"FATs cover the whole volume",
         [](MemoryBlockDevice& d) {
             Put(d, 36, {0x00, 0x80, 0, 0});
         },
         FatError::kInconsistent},
        {"root cluster 1",
         [](MemoryBlockDevice& d) {
             Put(d, 44, {1, 0, 0, 0});
         },
         FatError::kInconsistent},
        {"root cluster beyond the volume",
         [](MemoryBlockDevice& d) {
             Put(d, 44, {0, 0, 0, 1});
         },
         FatError::kInconsistent},
        {"backup with another layout", [](MemoryBlockDevice& d) { Put(d, 6 * 512 + 13, {16}); },
         FatError::kInconsistent},
        {"backup missing", [](MemoryBlockDevice& d) { d.Poke(6 * 512, std::vector<std::byte>(512)); },
         FatError::kInconsistent},
        {"FSInfo without lead signature", [](MemoryBlockDevice& d) { Put(d, 512, {0}); },
         FatError::kInconsistent},
        {"FSInfo without trail signature", [](MemoryBlockDevice& d) { Put(d, 512 + 511, {0}); },
         FatError::kInconsistent},
        // What every new entry relies on.
        {"root cluster free in the FAT",
         [](MemoryBlockDevice& d) {
             Put(d, 32 * 512 + 8, {0, 0, 0, 0});
         },
         FatError::kInconsistent},
        // A file system larger than its device.
        {"total sectors beyond device",
         [](MemoryBlockDevice& d) {
             Put(d, 32, {0x01, 0x00, 0x01, 0x00});
         },
         FatError::kTruncated},
    };
    for (const OpenCase& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryBlockDevice device(65536);
        FormatTestVolume(device, 8);
        c.damage(device);
        device.writeCount = 0;
        Fat32Volume volume(device, {});
        const FatStatus status = volume.Open();
        EXPECT_EQ(status.error, c.expected) << c.name << ": " << status.message;
        EXPECT_FALSE(status.message.empty()) << c.name;
        // Nothing works on a refused volume, and nothing is written to it.
        const std::string path[] = {"SYSTEM"};
        EXPECT_FALSE(volume.SetLabel("PMP").ok()) << c.name;
        EXPECT_FALSE(volume.CreateDirectory(path).ok()) << c.name;
        EXPECT_EQ(device.writeCount, 0u) << c.name;
    }
}

TEST(Fat32OpenTest, AcceptsWhatOtherSystemsLegitimatelyLeave) {
    const OpenCase cases[] = {
        {"backup with another label", [](MemoryBlockDevice& d) { Put(d, 6 * 512 + 71, {'X'}); },
         FatError::kNone},
        {"FSInfo counts unknown",
         [](MemoryBlockDevice& d) {
             Put(d, 512 + 488, {0xFF, 0xFF, 0xFF, 0xFF});
         },
         FatError::kNone},
        {"FSInfo hint unknown",
         [](MemoryBlockDevice& d) {
             Put(d, 512 + 492, {0xFF, 0xFF, 0xFF, 0xFF});
         },
         FatError::kNone},
        {"E9 jump", [](MemoryBlockDevice& d) { Put(d, 0, {0xE9}); }, FatError::kNone},
        {"one FAT",
         [](MemoryBlockDevice& d) {
             Put(d, 16, {1});
             Put(d, 6 * 512 + 16, {1});
         },
         FatError::kNone},
    };
    for (const OpenCase& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryBlockDevice device(65536);
        FormatTestVolume(device, 8);
        c.damage(device);
        Fat32Volume volume(device, {});
        const FatStatus status = volume.Open();
        EXPECT_TRUE(status.ok()) << c.name << ": " << status.message;
    }
}

TEST(Fat32OpenTest, FsInfoIsTrustedOnlyWhenPlausible) {
    // The FAT of the test volume has every cluster but the root's free. A plausible FSInfo count
    // four lower shows whether FSInfo was taken or the FAT counted.
    MemoryBlockDevice probe(65536);
    const uint32_t clusters = FormatTestVolume(probe, 8).clusterCount;
    const uint32_t counted = clusters - 1;
    const uint32_t stated = clusters - 5;
    struct Case {
        const char* name;
        uint32_t freeCount;
        uint32_t nextFree;
        uint32_t expectedFree;
    };
    const Case cases[] = {
        {"valid", stated, 3, stated},
        {"hint unknown", stated, 0xFFFFFFFF, stated},
        {"count unknown", 0xFFFFFFFF, 3, counted},
        {"count above the cluster count", clusters + 1, 3, counted},
        {"hint outside the data area", stated, clusters + 2, counted},
        {"hint below the data area", stated, 1, counted},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryBlockDevice device(65536);
        FormatTestVolume(device, 8);
        std::vector<std::byte> values(8);
        testing::PutLe32(values, 0, c.freeCount);
        testing::PutLe32(values, 4, c.nextFree);
        device.Poke(512 + 488, values);
        Fat32Volume volume(device, {});
        ASSERT_TRUE(volume.Open().ok()) << c.name;
        uint64_t bytes = 0;
        ASSERT_TRUE(volume.FreeBytes(bytes).ok());
        EXPECT_EQ(bytes / 4096, c.expectedFree) << c.name;
    }
}

TEST(Fat32OpenTest, ReportsTheGeometryOfTheVolume) {
    MemoryBlockDevice device(65536);
    const testing::TestLayout layout = FormatTestVolume(device, 64);
    Fat32Volume volume(device, {});
    ASSERT_TRUE(volume.Open().ok());
    // 65,536 sectors at 64 sectors per cluster: 8 sectors per FAT and 1,023 clusters.
    // The FAT's 1,024 entries cover clusters 2 to 1,023 only: the data area's last cluster has
    // no entry, is never used, and counts neither as free nor as usable.
    EXPECT_EQ(volume.Geometry().fatSize, 8u);
    EXPECT_EQ(volume.Geometry().dataAreaClusters, 1023u);
    EXPECT_EQ(volume.Geometry().clusterCount, 1022u);
    EXPECT_EQ(volume.Geometry().ClusterOffset(2), layout.ClusterOffset(2));
    EXPECT_EQ(volume.TotalBytes(), 1023ull * 32768);
    uint64_t freeBytes = 0;
    ASSERT_TRUE(volume.FreeBytes(freeBytes).ok());
    EXPECT_EQ(freeBytes, 1021ull * 32768);
}

TEST(Fat32OpenTest, ReadFailuresAreReportedAsSuch) {
    for (uint32_t failingRead = 1; failingRead <= 3; ++failingRead) {
        SCOPED_TRACE(failingRead);
        MemoryBlockDevice device(65536);
        FormatTestVolume(device, 8);
        device.FailReadsFrom(failingRead);
        Fat32Volume volume(device, {});
        EXPECT_EQ(volume.Open().error, FatError::kIo);
    }
}

TEST(Fat32OpenTest, WorksWithFourKilobyteSectors) {
    MemoryBlockDevice device(16384, 4096);
    FormatTestVolume(device, 8);
    Fat32Volume volume(device, {});
    ASSERT_TRUE(volume.Open().ok());
    const std::string path[] = {"SYSTEM"};
    EXPECT_TRUE(volume.CreateDirectory(path).ok());
}

}  // namespace
}  // namespace tolven
