#include "platform/linux/volume/image_layout.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "tests/linux/volume/disk_image.h"
#include "tests/support/little_endian.h"

namespace tolven::linux_host {
namespace {

using testing::MbrPartition;
using testing::MbrSector;

constexpr uint64_t kFileSize = 64ull * 1024 * 1024;  // 131,072 sectors

using tolven::testing::PutLe16;

// A boot sector as this formatter writes it (jump, OEM name, parameter block, signature).
std::vector<std::byte> Fat32BootSector() {
    std::vector<std::byte> s(512);
    const unsigned char head[] = {0xEB, 0x58, 0x90, 'M', 'S', 'D', 'O', 'S', '5', '.', '0'};
    std::memcpy(s.data(), head, sizeof head);
    PutLe16(s, 11, 512);
    s[13] = std::byte{64};
    PutLe16(s, 14, 32);
    s[16] = std::byte{2};
    s[21] = std::byte{0xF8};
    s[510] = std::byte{0x55};
    s[511] = std::byte{0xAA};
    return s;
}

std::vector<std::byte> With(std::vector<std::byte> s,
                            const std::function<void(std::vector<std::byte>&)>& change) {
    change(s);
    return s;
}

struct ClassifyCase {
    const char* name;
    std::vector<std::byte> sector0;
    uint64_t fileSize;
    ImageKind expected;
};

TEST(ClassifyImageTest, TellsBareVolumesFromPartitionedDisks) {
    const std::vector<std::byte> mbr = MbrSector({{0x0C, 2048, 100000}});
    const ClassifyCase cases[] = {
        // Bare volumes
        {"never written (all zero)", std::vector<std::byte>(512), kFileSize, ImageKind::kBareVolume},
        {"file shorter than one sector", std::vector<std::byte>(100), 100, ImageKind::kBareVolume},
        {"already formatted FAT32, re-formatted", Fat32BootSector(), kFileSize, ImageKind::kBareVolume},
        {"FAT boot sector whose boot code fills the table area",
         With(Fat32BootSector(),
              [](auto& s) {
                  for (std::size_t i = 446; i < 510; ++i)
                      s[i] = std::byte{0x00};
                  s[446] = std::byte{0x80};
                  s[450] = std::byte{0x0C};
                  s[454] = std::byte{0x01};
                  s[458] = std::byte{0x10};
              }),
         kFileSize, ImageKind::kBareVolume},
        {"FAT boot sector with the near jump E9",
         With(Fat32BootSector(), [](auto& s) { s[0] = std::byte{0xE9}; }), kFileSize, ImageKind::kBareVolume},
        {"NTFS boot sector (no FAT parameters)",
         With(std::vector<std::byte>(512),
              [](auto& s) {
                  const unsigned char head[] = {0xEB, 0x52, 0x90, 'N', 'T', 'F', 'S', ' ', ' ', ' ', ' '};
                  std::memcpy(s.data(), head, sizeof head);
                  s[446] = std::byte{0x00};
                  s[450] = std::byte{0x07};
                  s[454] = std::byte{0x3F};
                  s[458] = std::byte{0x10};
                  s[510] = std::byte{0x55};
                  s[511] = std::byte{0xAA};
              }),
         kFileSize, ImageKind::kBareVolume},
        {"table without the 0x55AA signature", With(mbr, [](auto& s) { s[511] = std::byte{0}; }), kFileSize,
         ImageKind::kBareVolume},
        {"boot indicator neither 0x00 nor 0x80", With(mbr, [](auto& s) { s[446 + 16] = std::byte{0x12}; }),
         kFileSize, ImageKind::kBareVolume},
        {"first entry unused, second used", MbrSector({{0, 0, 0}, {0x0C, 2048, 1000}}), kFileSize,
         ImageKind::kBareVolume},
        {"first entry of zero sectors", MbrSector({{0x0C, 2048, 0}}), kFileSize, ImageKind::kBareVolume},
        {"first entry starting at sector 0", MbrSector({{0x0C, 0, 1000}}), kFileSize, ImageKind::kBareVolume},
        {"partition one sector past the file end", MbrSector({{0x0C, 2048, 131072 - 2048 + 1}}), kFileSize,
         ImageKind::kBareVolume},
        {"partition whose end overflows 32 bits", MbrSector({{0x0C, 0xFFFFFF00u, 0x1000}}), kFileSize,
         ImageKind::kBareVolume},
        // Partitioned disks
        {"partition at 2048 as partitioning tools make it", mbr, kFileSize, ImageKind::kMbrDisk},
        {"partition ending exactly at the file end", MbrSector({{0x0C, 2048, 131072 - 2048}}), kFileSize,
         ImageKind::kMbrDisk},
        {"active partition of another type", MbrSector({{0x83, 63, 5000, 0x80}}), kFileSize,
         ImageKind::kMbrDisk},
        {"boot code beginning with a short jump but no parameter block",
         With(mbr,
              [](auto& s) {
                  s[0] = std::byte{0xEB};
                  s[1] = std::byte{0x63};
                  s[2] = std::byte{0x90};
              }),
         kFileSize, ImageKind::kMbrDisk},
        {"trailing partial sector ignored", mbr, 2048ull * 512 + 100000ull * 512 + 511, ImageKind::kMbrDisk},
        // Disks whose first partition is not a volume
        {"protective entry of a GUID table", MbrSector({{0xEE, 1, 131071}}), kFileSize,
         ImageKind::kUnsupportedDisk},
        {"protective entry larger than the file", MbrSector({{0xEE, 1, 0xFFFFFFFFu}}), kFileSize,
         ImageKind::kUnsupportedDisk},
        {"extended partition first", MbrSector({{0x0F, 2048, 4096}}), kFileSize, ImageKind::kUnsupportedDisk},
    };
    for (const ClassifyCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ClassifyImage(c.sector0, c.fileSize).kind, c.expected) << c.name;
    }
}

TEST(ClassifyImageTest, ReportsTheFirstEntryOfAPartitionedDisk) {
    const ImageLayout layout =
        ClassifyImage(MbrSector({{0x0B, 2048, 120000, 0x80}, {0x83, 122048, 8000}}), kFileSize);
    ASSERT_EQ(layout.kind, ImageKind::kMbrDisk);
    EXPECT_EQ(layout.firstEntry.type, 0x0B);
    EXPECT_EQ(layout.firstEntry.startLba, 2048u);
    EXPECT_EQ(layout.firstEntry.sectorCount, 120000u);
    EXPECT_EQ(layout.firstEntry.bootIndicator, 0x80);
}

TEST(ReadMbrEntryTest, ReadsEachEntryLittleEndian) {
    const auto sector =
        MbrSector({{0x01, 1, 2}, {0x0C, 0x01020304u, 0xA0B0C0D0u}, {0, 0, 0}, {0x83, 7, 9, 0x80}});
    const MbrEntry second = ReadMbrEntry(sector, 1);
    EXPECT_EQ(second.type, 0x0C);
    EXPECT_EQ(second.startLba, 0x01020304u);
    EXPECT_EQ(second.sectorCount, 0xA0B0C0D0u);
    const MbrEntry fourth = ReadMbrEntry(sector, 3);
    EXPECT_EQ(fourth.bootIndicator, 0x80);
    EXPECT_EQ(fourth.startLba, 7u);
    EXPECT_EQ(ReadMbrEntry(sector, 2).type, 0);
}

}  // namespace
}  // namespace tolven::linux_host
