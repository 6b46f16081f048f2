#include "platform/linux/volume/disk_probe.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

#include "tests/linux/volume/disk_image.h"

namespace tolven::linux_host {
namespace {

using testing::CreateDiskImage;
using testing::TempDir;

DiskProbe Probe(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    EXPECT_GE(fd, 0);
    DiskProbe probe;
    EXPECT_EQ(ProbeDisk(fd, probe), 0);
    ::close(fd);
    return probe;
}

TEST(DiskProbeTest, ListsTheTableAndItsPartitions) {
    TempDir dir;
    const std::string path = (dir.Path() / "disk.img").string();
    CreateDiskImage(path, 64ull << 20, {{0x0C, 2048, 60000, 0x80}, {0x83, 62048, 4000}});
    const DiskProbe probe = Probe(path);
    EXPECT_EQ(probe.tableType, "dos");
    ASSERT_EQ(probe.partitions.size(), 2u);
    EXPECT_EQ(probe.partitions[0].number, 1);
    EXPECT_EQ(probe.partitions[0].start, 2048u);
    EXPECT_EQ(probe.partitions[0].size, 60000u);
    EXPECT_EQ(probe.partitions[0].type, 0x0Cu);
    EXPECT_EQ(probe.partitions[1].number, 2);
    EXPECT_EQ(probe.partitions[1].type, 0x83u);
    EXPECT_TRUE(probe.signatures.empty());
}

TEST(DiskProbeTest, FindsNothingOnANeverWrittenDisk) {
    TempDir dir;
    const std::string path = (dir.Path() / "blank.img").string();
    testing::CreateSparseFile(path, 8ull << 20);
    const DiskProbe probe = Probe(path);
    EXPECT_TRUE(probe.tableType.empty());
    EXPECT_TRUE(probe.partitions.empty());
    EXPECT_TRUE(probe.signatures.empty());
}

TEST(DiskProbeTest, ReportsAFileSystemWithItsLabelAndUuid) {
    TempDir dir;
    const std::string path = (dir.Path() / "fat.img").string();
    testing::CreateSparseFile(path, 64ull << 20);
    const std::string command =
        "PATH=\"$PATH:/usr/sbin:/sbin\" mkfs.fat -F 32 -n PLAYER -i 1234ABCD '" + path + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << "mkfs.fat missing: install dosfstools";
    const DiskProbe probe = Probe(path);
    EXPECT_TRUE(probe.tableType.empty());
    ASSERT_EQ(probe.signatures.size(), 1u);
    EXPECT_EQ(probe.signatures[0].type, "vfat");
    EXPECT_EQ(probe.signatures[0].label, "PLAYER");
    EXPECT_EQ(probe.signatures[0].uuid, "1234-ABCD");
}

}  // namespace
}  // namespace tolven::linux_host
