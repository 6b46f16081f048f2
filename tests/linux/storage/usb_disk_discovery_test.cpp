#include "platform/linux/storage/usb_disk_discovery.h"

#include <gtest/gtest.h>

#include "tests/linux/storage/fake_sysfs.h"

namespace tolven::linux_host {
namespace {

using testing::FakeDisk;
using testing::FakeSysfs;
using Bus = FakeDisk::Bus;

struct DiscoveryCase {
    const char* name;
    std::vector<FakeDisk> disks;
    std::vector<std::string> expectedPaths;  // of the disks found, in order
};

TEST(FindUsbDisksTest, FindsUsbDisksOnlyInKernelNameOrder) {
    const DiscoveryCase cases[] = {
        {"no disk at all", {}, {}},
        {"whole disk without partition table", {{.name = "sdb"}}, {"/dev/sdb"}},
        {"first partition", {{.name = "sdb", .partitions = {"sdb1", "sdb2"}}}, {"/dev/sdb1"}},
        {"partition 1 by number, not name order",
         {{.name = "sdb", .partitions = {"sdb10=10", "sdb1=1", "sdb2=2"}}},
         {"/dev/sdb1"}},
        {"no partition 1: the whole disk, refused below",
         {{.name = "sdb", .partitions = {"sdb2=2"}}},
         {"/dev/sdb"}},
        {"SATA disk is left out", {{.name = "sda", .bus = Bus::kSata}, {.name = "sdb"}}, {"/dev/sdb"}},
        {"virtual disks are left out",
         {{.name = "loop0", .bus = Bus::kVirtual}, {.name = "zram0", .bus = Bus::kVirtual}},
         {}},
        {"reader without medium is left out", {{.name = "sdb", .size = "0"}, {.name = "sdc"}}, {"/dev/sdc"}},
        {"kernel name order",
         {{.name = "sdaa"}, {.name = "sdc"}, {.name = "sdb"}, {.name = "sdz"}},
         {"/dev/sdb", "/dev/sdc", "/dev/sdz", "/dev/sdaa"}},
    };
    for (const DiscoveryCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSysfs sysfs;
        for (const FakeDisk& disk : c.disks) {
            sysfs.AddDisk(disk);
        }
        std::vector<std::string> paths;
        for (const UsbDisk& disk : FindUsbDisks(sysfs.Root(), "/dev")) {
            paths.push_back(disk.devicePath);
        }
        EXPECT_EQ(paths, c.expectedPaths);
    }
}

TEST(FindUsbDisksTest, ADiskWhosePartition1IsEmptyIsRefusedNotFormattedAtPartition2) {
    FakeSysfs sysfs;
    sysfs.AddDisk({.name = "sdb", .partitions = {"sdb3=3", "sdb2=2"}});
    const std::vector<UsbDisk> disks = FindUsbDisks(sysfs.Root(), "/dev");
    ASSERT_EQ(disks.size(), 1u);
    EXPECT_EQ(disks[0].refusal.message,
              "'/dev/sdb' holds a partition table; partition 1 is empty; partition 2 holds data: repartition "
              "the disk, or name the partition itself");
}

TEST(FindUsbDisksTest, ReadsIdentificationAndDriveTypeAsTheDiskReportsThem) {
    FakeSysfs sysfs;
    sysfs.AddDisk({.name = "sdb", .removable = "1", .vendor = "TOLVEN  ", .model = "VQ30            "});
    sysfs.AddDisk({.name = "sdc", .removable = "0", .vendor = "MAXTOR S", .model = "TM40215A        "});
    const std::vector<UsbDisk> disks = FindUsbDisks(sysfs.Root(), "/devroot");
    ASSERT_EQ(disks.size(), 2u);
    EXPECT_EQ(disks[0].name, "sdb");
    EXPECT_EQ(disks[0].devicePath, "/devroot/sdb");
    EXPECT_EQ(disks[0].driveType, kDriveRemovable);
    EXPECT_EQ(disks[0].vendorId, "TOLVEN  ") << "blanks are the device's; only the line end goes";
    EXPECT_EQ(disks[0].productId, "VQ30            ");
    EXPECT_EQ(disks[1].driveType, kDriveFixed);
    EXPECT_EQ(disks[1].vendorId, "MAXTOR S");
}

TEST(FindUsbDisksTest, AMissingSysfsGivesNoDisks) {
    EXPECT_TRUE(FindUsbDisks("/nonexistent/sysfs", "/dev").empty());
}

TEST(AddUsbDisksTest, DisksComeFirstAndImagesFollowInTheOrderAdded) {
    FakeSysfs sysfs;
    sysfs.AddDisk({.name = "sdc", .removable = "0"});
    sysfs.AddDisk({.name = "sdb", .partitions = {"sdb1"}});
    DriveTable table;
    EXPECT_EQ(AddUsbDisks(table, sysfs.Root(), "/dev"), 2u);
    EXPECT_EQ(AddDiskImage(table, "/tmp/one.img", {"TOLVEN  ", "VQ20", kDriveRemovable}), 'F');
    EXPECT_EQ(AddDiskImage(table, "/tmp/two.img", {"Generic", "Disk", kDriveFixed}), 'G');

    struct Expected {
        char letter;
        const char* path;
        bool isImage;
        uint32_t driveType;
        const char* vendorId;
    };
    const Expected expected[] = {
        {'D', "/dev/sdb1", false, kDriveRemovable, "TOLVEN  "},
        {'E', "/dev/sdc", false, kDriveFixed, "TOLVEN  "},
        {'F', "/tmp/one.img", true, kDriveRemovable, "TOLVEN  "},
        {'G', "/tmp/two.img", true, kDriveFixed, "Generic"},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(std::string(1, e.letter));
        const DriveTarget* target = table.Find(e.letter);
        ASSERT_NE(target, nullptr);
        EXPECT_EQ(target->path, e.path);
        EXPECT_EQ(target->isImage, e.isImage);
        EXPECT_EQ(target->driveType, e.driveType);
        EXPECT_EQ(target->busType, kBusTypeUsb);
        EXPECT_EQ(target->vendorId, e.vendorId);
    }
}

TEST(AddUsbDisksTest, StopsWhenTheLettersRunOut) {
    DriveTable table;
    for (int i = 0; i < 22; ++i) {
        ASSERT_NE(AddDiskImage(table, "/tmp/x.img", {}), 0);
    }
    FakeSysfs sysfs;
    sysfs.AddDisk({.name = "sdb"});
    sysfs.AddDisk({.name = "sdc"});
    EXPECT_EQ(AddUsbDisks(table, sysfs.Root(), "/dev"), 1u) << "Z: is the last letter";
    EXPECT_EQ(AddDiskImage(table, "/tmp/y.img", {}), 0);
}

}  // namespace
}  // namespace tolven::linux_host
