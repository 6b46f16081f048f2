// The volume access over real block devices: a disk image attached to a loop device (root only;
// skipped elsewhere), its first partition and the whole disk.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "platform/linux/volume/linux_block_device.h"
#include "platform/linux/volume/linux_page_allocator.h"
#include "platform/linux/volume/linux_volume.h"
#include "platform/linux/volume/target_check.h"
#include "tests/linux/volume/disk_image.h"
#include "tests/linux/volume/loop_device.h"

namespace tolven::linux_host {
namespace {

using testing::ReadBytes;

constexpr uint32_t kAccess = kGenericRead | kGenericWrite;
constexpr uint64_t kImageSize = 64ull * 1024 * 1024;
constexpr uint32_t kPartitionStart = 2048;
constexpr uint32_t kPartitionSectors = 100000;

class BlockDeviceVolumeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        image_ = dir_.File("disk.img");
        testing::CreateDiskImage(image_, kImageSize,
                                 {{0x06, kPartitionStart, kPartitionSectors}, {0x83, 102048, 20000}});
        loop_ = std::make_unique<testing::LoopDevice>(image_);
        if (!loop_->Attached()) {
            GTEST_SKIP() << loop_->Why();
        }
        partition_ = loop_->FirstPartition();
        if (partition_.empty()) {
            GTEST_SKIP() << "the loop device's partition did not appear";
        }
        drives_.Add(testing::DeviceTarget(partition_));
        drives_.Add(testing::DeviceTarget(loop_->Device()));
        pages_ = allocator_.AllocatePages(4096);
        std::memset(pages_, 0x3C, 4096);
    }
    void TearDown() override { allocator_.FreePages(pages_, 4096); }

    std::unique_ptr<IVolume> Open(const char16_t* path) {
        return volumes_.CreateFileW(path, kAccess, 0, kFileFlagNoBuffering);
    }

    testing::TempDir dir_;
    std::string image_;
    std::unique_ptr<testing::LoopDevice> loop_;
    std::string partition_;
    DriveTable drives_;
    LinuxVolumeSystem volumes_{drives_};
    LinuxPageAllocator allocator_;
    std::byte* pages_ = nullptr;
};

TEST_F(BlockDeviceVolumeTest, ReportsPartitionAndWholeDisk) {
    struct Case {
        const char* name;
        const char16_t* path;
        int64_t length;
        uint32_t hidden;
        uint8_t type;
    };
    const Case cases[] = {
        {"partition", u"\\\\.\\D:", int64_t{kPartitionSectors} * 512, kPartitionStart, 0x06},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto volume = Open(c.path);
        ASSERT_NE(volume, nullptr) << "errno " << volumes_.LastOpenError();
        DiskGeometry geometry;
        ASSERT_TRUE(volume->GetDriveGeometry(geometry));
        EXPECT_EQ(geometry.BytesPerSector, 512u);
        EXPECT_NE(geometry.TracksPerCylinder, 0u);
        EXPECT_NE(geometry.SectorsPerTrack, 0u);
        PartitionInformation info;
        ASSERT_TRUE(volume->GetPartitionInfo(info));
        EXPECT_EQ(info.PartitionLength, c.length);
        EXPECT_EQ(info.HiddenSectors, c.hidden);
        EXPECT_EQ(info.PartitionType, c.type);
    }
}

TEST_F(BlockDeviceVolumeTest, AWholeDiskWithATableStandsForItsFirstPartition) {
    EXPECT_EQ(Open(u"\\\\.\\E:"), nullptr) << "the table would be formatted over";
    EXPECT_EQ(volumes_.LastOpenError(), EMEDIUMTYPE);
    const TableCheck check = CheckPartitionTable(loop_->Device());
    EXPECT_EQ(check.path, partition_);
    EXPECT_EQ(check.refusal.message, "");
    EXPECT_NE(check.note, "");
}

TEST_F(BlockDeviceVolumeTest, AClaimedDeviceIsRefusedWithEbusy) {
    auto first = Open(u"\\\\.\\D:");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Open(u"\\\\.\\D:"), nullptr);
    EXPECT_EQ(volumes_.LastOpenError(), EBUSY);
    first->CloseHandle();
    EXPECT_NE(Open(u"\\\\.\\D:"), nullptr);
}

TEST_F(BlockDeviceVolumeTest, WritesStayInsideThePartitionAndSetTheTypeInTheDisksTable) {
    const auto tableBefore = ReadBytes(image_, 0, 512);
    auto volume = Open(u"\\\\.\\D:");
    ASSERT_NE(volume, nullptr);
    ASSERT_TRUE(volume->LockVolume());
    ASSERT_TRUE(volume->WriteAt(7 * 512, pages_, 1024));
    EXPECT_FALSE(volume->WriteAt((kPartitionSectors - 1) * 512ull, pages_, 1024)) << "across the end";
    EXPECT_FALSE(volume->WriteAt(512, pages_ + 8, 512)) << "unaligned buffer";
    ASSERT_TRUE(volume->SetPartitionType(kPartitionTypeFat32Lba));
    ASSERT_TRUE(volume->DismountVolume());
    ASSERT_TRUE(volume->UnlockVolume());
    volume->CloseHandle();

    EXPECT_EQ(ReadBytes(image_, (kPartitionStart + 7) * 512ull, 1024),
              std::vector<std::byte>(1024, std::byte{0x3C}));
    EXPECT_EQ(ReadBytes(image_, (kPartitionStart + kPartitionSectors) * 512ull, 512),
              std::vector<std::byte>(512));
    auto expected = tableBefore;
    expected[446 + 4] = std::byte{0x0C};
    EXPECT_EQ(ReadBytes(image_, 0, 512), expected);

    int error = 0;
    auto device = OpenVolumeBlockDevice(*drives_.Find('D'), BlockDeviceAccess::kReadOnly, error);
    ASSERT_NE(device, nullptr) << "errno " << error;
    EXPECT_EQ(device->SectorCount(), kPartitionSectors);
    std::vector<std::byte> back(512);
    ASSERT_TRUE(device->Read(8 * 512, back.data(), 512));
    EXPECT_EQ(back, std::vector<std::byte>(512, std::byte{0x3C}));
}

}  // namespace
}  // namespace tolven::linux_host
