#include "platform/linux/volume/target_layout.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "platform/linux/volume/image_layout.h"
#include "tests/linux/volume/disk_image.h"

namespace tolven::linux_host {
namespace {

using testing::MbrSector;
using testing::TempDir;
using Kind = TargetLayoutKind;

constexpr uint64_t kFileSize = 64ull * 1024 * 1024;  // 131,072 sectors

std::vector<std::byte> With(std::vector<std::byte> s,
                            const std::function<void(std::vector<std::byte>&)>& change) {
    change(s);
    return s;
}

struct LayoutCase {
    const char* name;
    std::vector<std::byte> sector0;
    uint64_t fileSize;
    Kind expected;
    const char* reason = "";  // a piece of the refusal
};

// Writes the sector into a sparse image and decides as the program does, through the probe.
TargetLayout Decide(const TempDir& dir, const LayoutCase& c) {
    const std::string path = (dir.Path() / "disk.img").string();
    std::filesystem::remove(path);
    testing::CreateSparseFile(path, c.fileSize);
    testing::WriteBytes(path, 0, c.sector0);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    TargetLayout layout;
    EXPECT_EQ(ProbeTargetLayout(fd, c.fileSize, layout), 0);
    ::close(fd);
    return layout;
}

TEST(TargetLayoutTest, FormatsOnlyVolumesAndTheFirstPartitionOfASaneTable) {
    const std::vector<std::byte> mbr = MbrSector({{0x0C, 2048, 100000}});
    const LayoutCase cases[] = {
        // Bare volumes
        {"never written (all zero)", std::vector<std::byte>(512), kFileSize, Kind::kBareVolume},
        {"file shorter than one sector", std::vector<std::byte>(100), 100, Kind::kBareVolume},
        {"table without the 0x55AA signature", With(mbr, [](auto& s) { s[511] = std::byte{0}; }), kFileSize,
         Kind::kBareVolume},
        {"boot code ending in 0x55AA, boot indicator neither 0x00 nor 0x80",
         With(mbr, [](auto& s) { s[446 + 16] = std::byte{0x12}; }), kFileSize, Kind::kBareVolume},
        {"entries all empty or of zero sectors", MbrSector({{0x0C, 2048, 0}}), kFileSize, Kind::kBareVolume},
        // The first partition of a sane table
        {"partition at 2048 as partitioning tools make it", mbr, kFileSize, Kind::kFirstPartition},
        {"partition ending exactly at the file end", MbrSector({{0x0C, 2048, 131072 - 2048}}), kFileSize,
         Kind::kFirstPartition},
        {"active partition of another type, more partitions behind it",
         MbrSector({{0x83, 63, 5000, 0x80}, {0x0C, 8192, 4096}}), kFileSize, Kind::kFirstPartition},
        {"trailing partial sector ignored", mbr, 2048ull * 512 + 100000ull * 512 + 511,
         Kind::kFirstPartition},
        // Tables refused before anything is written
        {"first entry empty, second holds data", MbrSector({{0, 0, 0}, {0x0C, 2048, 1000}}), kFileSize,
         Kind::kRefused, "partition 1 is empty; partition 2 holds data"},
        {"first entry starting at sector 0", MbrSector({{0x0C, 0, 1000}}), kFileSize, Kind::kRefused,
         "starts at sector 0"},
        {"partition one sector past the file end", MbrSector({{0x0C, 2048, 131072 - 2048 + 1}}), kFileSize,
         Kind::kRefused, "runs past the end"},
        {"partition starting beyond the file end", MbrSector({{0x0C, 200000, 1000}}), kFileSize,
         Kind::kRefused, "beyond the end"},
        {"partition whose end overflows 32 bits", MbrSector({{0x0C, 0xFFFFFF00u, 0x1000}}), kFileSize,
         Kind::kRefused, "damaged"},
        {"extended partition first", MbrSector({{0x0F, 2048, 4096}}), kFileSize, Kind::kRefused,
         "extended partition"},
        {"protective entry of a GUID table whose headers are missing", MbrSector({{0xEE, 1, 131071}}),
         kFileSize, Kind::kRefused, "GUID (GPT)"},
    };
    TempDir dir;
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        const TargetLayout layout = Decide(dir, c);
        EXPECT_EQ(layout.kind, c.expected);
        EXPECT_NE(layout.refusal.find(c.reason), std::string::npos) << layout.refusal;
    }
}

TEST(TargetLayoutTest, RefusesAGuidTable) {
    // Only the kind of table matters here; the probe's own parsing is the library's.
    DiskProbe probe;
    probe.tableType = "gpt";
    probe.partitions.push_back({1, 2048, 4096, 0, "ebd0a0a2-b9e5-4433-87c0-68b6b72699c7", false, false});
    const TargetLayout layout = DecideTargetLayout(probe, {}, 131072);
    EXPECT_EQ(layout.kind, Kind::kRefused);
    EXPECT_NE(layout.refusal.find("GUID (GPT) partition table"), std::string::npos) << layout.refusal;
}

TEST(TargetLayoutTest, ReportsTheFirstEntryOfAPartitionedDisk) {
    TempDir dir;
    const TargetLayout layout =
        Decide(dir, {"two partitions", MbrSector({{0x0B, 2048, 120000, 0x80}, {0x83, 122048, 8000}}),
                     kFileSize, Kind::kFirstPartition});
    ASSERT_EQ(layout.kind, Kind::kFirstPartition);
    EXPECT_EQ(layout.partition.type, 0x0Bu);
    EXPECT_EQ(layout.partition.start, 2048u);
    EXPECT_EQ(layout.partition.size, 120000u);
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
