#include "platform/linux/volume/sysfs_block.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/linux/volume/disk_image.h"

namespace tolven::linux_host {
namespace {

namespace fs = std::filesystem;

// A sysfs tree shaped like the kernel's: dev/block/M:m links into the device folders, and a
// partition's folder sits inside its disk's folder.
class FakeSysfs {
  public:
    FakeSysfs() { fs::create_directories(Root() / "dev" / "block"); }
    const fs::path& Root() const { return dir_.Path(); }

    fs::path AddDisk(const std::string& name, const std::string& dev) {
        const fs::path folder = Root() / "devices" / "pci0000:00" / "usb1" / "block" / name;
        fs::create_directories(folder);
        Write(folder / "dev", dev + "\n");
        Link(dev, folder);
        return folder;
    }
    fs::path AddPartition(const fs::path& disk, const std::string& name, const std::string& dev,
                          const std::string& partition, const std::string& start) {
        const fs::path folder = disk / name;
        fs::create_directories(folder);
        Write(folder / "dev", dev + "\n");
        Write(folder / "partition", partition);
        Write(folder / "start", start);
        Link(dev, folder);
        return folder;
    }
    static void Write(const fs::path& file, const std::string& text) { std::ofstream(file) << text; }

  private:
    void Link(const std::string& dev, const fs::path& target) {
        fs::create_directory_symlink(fs::relative(target, Root() / "dev" / "block"),
                                     Root() / "dev" / "block" / dev);
    }
    testing::TempDir dir_;
};

TEST(SysfsBlockInfoTest, ReadsAPartitionAndItsDisk) {
    FakeSysfs sysfs;
    const fs::path disk = sysfs.AddDisk("sdb", "8:16");
    sysfs.AddPartition(disk, "sdb1", "8:17", "1\n", "2048\n");
    sysfs.AddPartition(disk, "sdb3", "8:19", "3\n", "4294967296\n");

    const auto first = ReadSysfsBlockInfo(sysfs.Root(), 8, 17);
    ASSERT_TRUE(first.has_value());
    EXPECT_TRUE(first->isPartition);
    EXPECT_EQ(first->partitionNumber, 1u);
    EXPECT_EQ(first->start, 2048u);
    EXPECT_EQ(first->parentName, "sdb");
    EXPECT_EQ(first->parentMajor, 8u);
    EXPECT_EQ(first->parentMinor, 16u);

    const auto third = ReadSysfsBlockInfo(sysfs.Root(), 8, 19);
    ASSERT_TRUE(third.has_value());
    EXPECT_EQ(third->partitionNumber, 3u);
    EXPECT_EQ(third->start, 4294967296u) << "starts beyond 32 bits are kept whole";
}

TEST(SysfsBlockInfoTest, AWholeDiskHasNoPartitionFacts) {
    FakeSysfs sysfs;
    sysfs.AddDisk("sdc", "8:32");
    const auto info = ReadSysfsBlockInfo(sysfs.Root(), 8, 32);
    ASSERT_TRUE(info.has_value());
    EXPECT_FALSE(info->isPartition);
    EXPECT_EQ(info->start, 0u);
    EXPECT_TRUE(info->parentName.empty());
}

TEST(SysfsBlockInfoTest, RefusesWhatCannotBeTrusted) {
    struct Case {
        const char* name;
        std::string partition;
        std::string start;
    };
    const Case cases[] = {
        {"start not a number", "1\n", "abc\n"},     {"start empty", "1\n", ""},
        {"start negative", "1\n", "-5\n"},          {"start with trailing garbage", "1\n", "2048x\n"},
        {"partition number zero", "0\n", "2048\n"}, {"partition number not a number", "one\n", "2048\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSysfs sysfs;
        const fs::path disk = sysfs.AddDisk("sdd", "8:48");
        sysfs.AddPartition(disk, "sdd1", "8:49", c.partition, c.start);
        EXPECT_FALSE(ReadSysfsBlockInfo(sysfs.Root(), 8, 49).has_value()) << c.name;
    }
}

TEST(SysfsBlockInfoTest, UnknownDeviceNumberIsNotFound) {
    FakeSysfs sysfs;
    sysfs.AddDisk("sde", "8:64");
    EXPECT_FALSE(ReadSysfsBlockInfo(sysfs.Root(), 8, 65).has_value());
    EXPECT_FALSE(ReadSysfsBlockInfo(sysfs.Root() / "missing", 8, 64).has_value());
}

TEST(SysfsBlockInfoTest, PartitionWhoseDiskHasNoDeviceNumberIsRefused) {
    FakeSysfs sysfs;
    const fs::path disk = sysfs.AddDisk("sdf", "8:80");
    sysfs.AddPartition(disk, "sdf1", "8:81", "1\n", "63\n");
    fs::remove(disk / "dev");
    EXPECT_FALSE(ReadSysfsBlockInfo(sysfs.Root(), 8, 81).has_value());
}

TEST(ParseDeviceNumberTest, AcceptsOnlyMajorColonMinor) {
    struct Case {
        const char* text;
        bool ok;
        uint32_t major;
        uint32_t minor;
    };
    const Case cases[] = {
        {"8:16\n", true, 8, 16},       {"259:0", true, 259, 0}, {"8", false, 0, 0},
        {":16", false, 0, 0},          {"8:", false, 0, 0},     {"8:16:2", false, 0, 0},
        {"4294967296:1", false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        uint32_t major = 0;
        uint32_t minor = 0;
        EXPECT_EQ(ParseDeviceNumber(c.text, major, minor), c.ok);
        if (c.ok) {
            EXPECT_EQ(major, c.major);
            EXPECT_EQ(minor, c.minor);
        }
    }
}

}  // namespace
}  // namespace tolven::linux_host
