#include "platform/linux/volume/mount_state.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <fstream>

namespace tolven::linux_host {
namespace {

namespace fs = std::filesystem;

void Write(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

// A sysfs with disk sdb (8:16) and its partitions sdb1 (8:17) and sdb2 (8:18), and loop0 (7:0)
// backing /images/player.img with its partition loop0p1 (259:0).
struct FakeSysfs {
    FakeSysfs() {
        fs::remove_all(root);
        const fs::path sdb = root / "devices/pci/usb/block/sdb";
        Write(sdb / "dev", "8:16\n");
        Write(sdb / "sdb1/dev", "8:17\n");
        Write(sdb / "sdb1/partition", "1\n");
        Write(sdb / "sdb2/dev", "8:18\n");
        Write(sdb / "sdb2/partition", "2\n");
        Write(sdb / "power/dev", "not a partition\n");
        fs::create_directories(root / "dev/block");
        fs::create_directory_symlink(sdb, root / "dev/block/8:16");
        const fs::path loop = root / "block/loop0";
        Write(loop / "dev", "7:0\n");
        Write(loop / "loop/backing_file", "/images/player.img\n");
        Write(loop / "loop0p1/dev", "259:0\n");
        Write(loop / "loop0p1/partition", "1\n");
        Write(root / "block/loop1/dev", "7:1\n");
        Write(root / "block/loop1/loop/backing_file", "/images/other.img\n");
    }
    ~FakeSysfs() { fs::remove_all(root); }
    fs::path root = fs::temp_directory_path() / ("mount_state_test." + std::to_string(::getpid()));
};

bool Holds(const std::vector<BlockNumber>& devices, BlockNumber device) {
    return std::find(devices.begin(), devices.end(), device) != devices.end();
}

TEST(MountStateTest, ATargetSpansItsPartitionsAndTheLoopDevicesOfAnImage) {
    FakeSysfs sysfs;
    const std::vector<BlockNumber> disk = DevicesOfBlockDevice({8, 16}, sysfs.root);
    EXPECT_EQ(disk.size(), 3u);
    EXPECT_TRUE(Holds(disk, {8, 16}) && Holds(disk, {8, 17}) && Holds(disk, {8, 18}));

    const std::vector<BlockNumber> image = DevicesOfImageFile("/images/player.img", sysfs.root);
    EXPECT_EQ(image.size(), 2u);
    EXPECT_TRUE(Holds(image, {7, 0}) && Holds(image, {259, 0}));
    EXPECT_TRUE(DevicesOfImageFile("/images/unused.img", sysfs.root).empty());
}

TEST(MountStateTest, FindsTheMountsOfTheGivenDevicesOnly) {
    FakeSysfs sysfs;
    const fs::path table = sysfs.root / "mountinfo";
    Write(table,
          "22 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw\n"
          "40 22 8:18 / /media/player rw,relatime shared:2 - vfat /dev/sdb2 rw\n"
          "41 22 0:45 / /run rw shared:3 - tmpfs tmpfs rw\n");
    const std::vector<MountedFileSystem> mounts = FindMounts({{8, 16}, {8, 17}, {8, 18}}, table.string());
    ASSERT_EQ(mounts.size(), 1u);
    EXPECT_EQ(mounts[0].source, "/dev/sdb2");
    EXPECT_EQ(mounts[0].target, "/media/player");
    EXPECT_TRUE(FindMounts({{8, 17}}, table.string()).empty());
    EXPECT_TRUE(FindMounts({{8, 18}}, (sysfs.root / "missing").string()).empty());
}

}  // namespace
}  // namespace tolven::linux_host
