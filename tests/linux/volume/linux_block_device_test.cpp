#include "platform/linux/volume/linux_block_device.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "platform/linux/volume/linux_volume.h"
#include "tests/linux/volume/disk_image.h"

namespace tolven::linux_host {
namespace {

using testing::CreateSparseFile;
using testing::PatternSector;
using testing::ReadBytes;
using testing::WriteBytes;

constexpr uint64_t kImageSize = 16ull * 1024 * 1024;  // 32,768 sectors
constexpr uint32_t kPartitionStart = 2048;
constexpr uint32_t kPartitionSectors = 20000;

class LinuxBlockDeviceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        bare_ = testing::ImageTarget(dir_.File("bare.img"));
        disk_ = testing::ImageTarget(dir_.File("disk.img"));
        CreateSparseFile(bare_.path, kImageSize);
        testing::CreateDiskImage(disk_.path, kImageSize, {{0x0C, kPartitionStart, kPartitionSectors}});
    }

    std::unique_ptr<IBlockDevice> Open(const DriveTarget& target, BlockDeviceAccess access) {
        int error = 0;
        auto device = OpenVolumeBlockDevice(target, access, error);
        EXPECT_NE(device, nullptr) << "errno " << error;
        return device;
    }

    testing::TempDir dir_;
    DriveTarget bare_;
    DriveTarget disk_;
};

TEST_F(LinuxBlockDeviceTest, AddressesTheVolumeOfEachKindOfImage) {
    struct Case {
        const char* name;
        const DriveTarget* target;
        uint64_t volumeStart;
        uint64_t sectorCount;
    };
    const Case cases[] = {
        {"bare volume", &bare_, 0, kImageSize / 512},
        {"MBR disk", &disk_, uint64_t{kPartitionStart} * 512, kPartitionSectors},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto device = Open(*c.target, BlockDeviceAccess::kReadWrite);
        ASSERT_NE(device, nullptr);
        EXPECT_EQ(device->SectorSize(), 512u);
        EXPECT_EQ(device->SectorCount(), c.sectorCount);
        // Buffers need no alignment here.
        std::vector<std::byte> data(1 + 2 * 512);
        const auto first = PatternSector(40);
        const auto second = PatternSector(41);
        std::copy(first.begin(), first.end(), data.begin() + 1);
        std::copy(second.begin(), second.end(), data.begin() + 1 + 512);
        ASSERT_TRUE(device->Write(40 * 512, data.data() + 1, 1024));
        ASSERT_TRUE(device->Flush());
        EXPECT_EQ(ReadBytes(c.target->path, c.volumeStart + 40 * 512, 512), first);
        EXPECT_EQ(ReadBytes(c.target->path, c.volumeStart + 41 * 512, 512), second);

        std::vector<std::byte> back(1 + 1024);
        ASSERT_TRUE(device->Read(40 * 512, back.data() + 1, 1024));
        EXPECT_TRUE(std::equal(first.begin(), first.end(), back.begin() + 1));
        const uint64_t last = (c.sectorCount - 1) * 512;
        EXPECT_TRUE(device->Write(last, data.data() + 1, 512)) << "the last sector belongs to the volume";
        EXPECT_TRUE(device->Read(last, back.data(), 512));
    }
}

TEST_F(LinuxBlockDeviceTest, RefusesTransfersOutsideTheVolumeOrOfPartSectors) {
    struct Case {
        const char* name;
        const DriveTarget* target;
        uint64_t offset;
        std::size_t count;
    };
    const uint64_t partitionEnd = uint64_t{kPartitionSectors} * 512;
    const Case cases[] = {
        {"offset inside a sector", &bare_, 10, 512},
        {"part of a sector", &bare_, 0, 100},
        {"past the end of a bare volume", &bare_, kImageSize, 512},
        {"across the end of a bare volume", &bare_, kImageSize - 512, 1024},
        {"wrapping offset", &bare_, ~uint64_t{511}, 1024},
        {"past the partition", &disk_, partitionEnd, 512},
        {"across the partition's end", &disk_, partitionEnd - 512, 1024},
    };
    std::vector<std::byte> data(1024, std::byte{0xEE});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto device = Open(*c.target, BlockDeviceAccess::kReadWrite);
        ASSERT_NE(device, nullptr);
        EXPECT_FALSE(device->Write(c.offset, data.data(), c.count)) << c.name;
        EXPECT_FALSE(device->Read(c.offset, data.data(), c.count)) << c.name;
    }
    EXPECT_EQ(std::filesystem::file_size(bare_.path), kImageSize);
    EXPECT_EQ(ReadBytes(disk_.path, partitionEnd + kPartitionStart * 512ull, 4096),
              std::vector<std::byte>(4096));
}

TEST_F(LinuxBlockDeviceTest, ReadOnlyAccessNeverWritesAndNeverBlocksAFormat) {
    WriteBytes(bare_.path, 512, PatternSector(1));
    auto reader = Open(bare_, BlockDeviceAccess::kReadOnly);
    ASSERT_NE(reader, nullptr);
    std::vector<std::byte> data(512);
    EXPECT_FALSE(reader->Write(512, data.data(), 512));
    EXPECT_TRUE(reader->Flush());
    ASSERT_TRUE(reader->Read(512, data.data(), 512));
    EXPECT_EQ(data, PatternSector(1));

    DriveTable drives;
    drives.Add(bare_);
    LinuxVolumeSystem volumes(drives);
    EXPECT_NE(volumes.CreateFileW(u"\\\\.\\D:", kGenericRead | kGenericWrite, 0, kFileFlagNoBuffering),
              nullptr);
}

TEST_F(LinuxBlockDeviceTest, AWriterAndAFormatExcludeEachOther) {
    DriveTable drives;
    drives.Add(bare_);
    LinuxVolumeSystem volumes(drives);
    {
        auto writer = Open(bare_, BlockDeviceAccess::kReadWrite);
        ASSERT_NE(writer, nullptr);
        EXPECT_EQ(volumes.CreateFileW(u"\\\\.\\D:", kGenericRead | kGenericWrite, 0, kFileFlagNoBuffering),
                  nullptr);
        EXPECT_EQ(volumes.LastOpenError(), EWOULDBLOCK);
    }
    auto volume = volumes.CreateFileW(u"\\\\.\\D:", kGenericRead | kGenericWrite, 0, kFileFlagNoBuffering);
    ASSERT_NE(volume, nullptr);
    int error = 0;
    EXPECT_EQ(OpenVolumeBlockDevice(bare_, BlockDeviceAccess::kReadWrite, error), nullptr);
    EXPECT_EQ(error, EWOULDBLOCK);
}

TEST_F(LinuxBlockDeviceTest, AMissingTargetReportsItsErrno) {
    const DriveTarget missing = testing::ImageTarget(dir_.File("missing.img"));
    int error = 0;
    EXPECT_EQ(OpenVolumeBlockDevice(missing, BlockDeviceAccess::kReadOnly, error), nullptr);
    EXPECT_EQ(error, ENOENT);
}

}  // namespace
}  // namespace tolven::linux_host
