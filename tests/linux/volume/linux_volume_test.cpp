#include "platform/linux/volume/linux_volume.h"

#include <gtest/gtest.h>
#include <sys/vfs.h>

#include <cerrno>
#include <cstring>

#include "platform/linux/volume/linux_page_allocator.h"
#include "tests/linux/volume/disk_image.h"

namespace tolven::linux_host {
namespace {

using testing::CreateSparseFile;
using testing::MbrSector;
using testing::PatternSector;
using testing::ReadBytes;
using testing::WriteBytes;

constexpr uint32_t kOpenAccess = kGenericRead | kGenericWrite;
constexpr uint64_t kImageSize = 64ull * 1024 * 1024;  // 131,072 sectors
constexpr uint32_t kPartitionStart = 2048;
constexpr uint32_t kPartitionSectors = 100000;

// Page-aligned sector buffers, as the formatter has them.
class Pages {
  public:
    explicit Pages(std::size_t size) : size_(size), data_(allocator_.AllocatePages(size)) {}
    ~Pages() { allocator_.FreePages(data_, size_); }
    std::byte* Data() const { return data_; }
    void Fill(uint8_t value) { std::memset(data_, value, size_); }

  private:
    LinuxPageAllocator allocator_;
    std::size_t size_;
    std::byte* data_;
};

class LinuxVolumeTest : public ::testing::Test {
  protected:
    // D: a bare 64 MiB image; E: a 64 MiB disk image with one partition at sector 2048.
    void SetUp() override {
        bare_ = dir_.File("bare.img");
        disk_ = dir_.File("disk.img");
        CreateSparseFile(bare_, kImageSize);
        testing::CreateDiskImage(disk_, kImageSize,
                                 {{0x06, kPartitionStart, kPartitionSectors, 0x80}, {0x83, 102048, 20000}});
        drives_.Add(testing::ImageTarget(bare_));
        drives_.Add(testing::ImageTarget(disk_));
    }

    std::unique_ptr<IVolume> Open(const char16_t* path, uint32_t share = 0) {
        return volumes_.CreateFileW(path, kOpenAccess, share, kFileFlagNoBuffering);
    }

    testing::TempDir dir_;
    std::string bare_;
    std::string disk_;
    DriveTable drives_;
    LinuxVolumeSystem volumes_{drives_};
};

TEST_F(LinuxVolumeTest, ReportsGeometryAndPartitionOfEachKindOfImage) {
    struct Case {
        const char* name;
        const char16_t* path;
        int64_t startingOffset;
        int64_t partitionLength;
        uint32_t hiddenSectors;
        uint8_t partitionType;
        bool bootIndicator;
        bool recognized;
    };
    const Case cases[] = {
        {"bare volume: the whole file", u"\\\\.\\D:", 0, static_cast<int64_t>(kImageSize), 0, 0, false,
         false},
        {"MBR disk: its first partition", u"\\\\.\\E:", 2048 * 512, int64_t{kPartitionSectors} * 512, 2048,
         0x06, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto volume = Open(c.path);
        ASSERT_NE(volume, nullptr) << "errno " << volumes_.LastOpenError();
        DiskGeometry geometry;
        ASSERT_TRUE(volume->GetDriveGeometry(geometry));
        EXPECT_EQ(geometry.BytesPerSector, 512u);
        EXPECT_EQ(geometry.TracksPerCylinder, 255u);
        EXPECT_EQ(geometry.SectorsPerTrack, 63u);
        EXPECT_EQ(geometry.MediaType, kFixedMedia);
        EXPECT_EQ(geometry.Cylinders, static_cast<int64_t>(kImageSize / (255 * 63 * 512)));
        PartitionInformation info;
        ASSERT_TRUE(volume->GetPartitionInfo(info));
        EXPECT_EQ(info.StartingOffset, c.startingOffset);
        EXPECT_EQ(info.PartitionLength, c.partitionLength);
        EXPECT_EQ(info.HiddenSectors, c.hiddenSectors);
        EXPECT_EQ(info.PartitionType, c.partitionType);
        EXPECT_EQ(info.BootIndicator, c.bootIndicator);
        EXPECT_EQ(info.RecognizedPartition, c.recognized);
    }
}

TEST_F(LinuxVolumeTest, WritesLandAtTheVolumeOffset) {
    struct Case {
        const char* name;
        const char16_t* path;
        std::string* file;
        uint64_t volumeStart;
    };
    const Case cases[] = {
        {"bare volume", u"\\\\.\\D:", &bare_, 0},
        {"MBR disk: the partition offset is added", u"\\\\.\\E:", &disk_, uint64_t{kPartitionStart} * 512},
    };
    Pages pages(8192);
    pages.Fill(0x5A);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto volume = Open(c.path);
        ASSERT_NE(volume, nullptr);
        const auto before = ReadBytes(*c.file, c.volumeStart + 6 * 512, 512);
        ASSERT_TRUE(volume->WriteAt(7 * 512, pages.Data(), 2 * 512));
        volume->CloseHandle();
        EXPECT_EQ(ReadBytes(*c.file, c.volumeStart + 7 * 512, 1024),
                  std::vector<std::byte>(1024, std::byte{0x5A}));
        EXPECT_EQ(ReadBytes(*c.file, c.volumeStart + 6 * 512, 512), before)
            << "the sector before is untouched";
        EXPECT_EQ(ReadBytes(*c.file, c.volumeStart + 9 * 512, 512), std::vector<std::byte>(512))
            << "the sector after is untouched";
    }
}

TEST_F(LinuxVolumeTest, RefusesWritesThatBreakTheSectorRulesOrLeaveTheVolume) {
    struct Case {
        const char* name;
        const char16_t* path;
        uint64_t offset;
        uint32_t count;
        std::size_t bufferShift;  // bytes added to the page-aligned buffer address
    };
    const uint64_t bareEnd = kImageSize;
    const uint64_t partitionEnd = uint64_t{kPartitionSectors} * 512;
    const Case cases[] = {
        {"offset not a sector multiple", u"\\\\.\\D:", 100, 512, 0},
        {"count not a sector multiple", u"\\\\.\\D:", 512, 700, 0},
        {"buffer not sector aligned", u"\\\\.\\D:", 512, 512, 16},
        {"starting past the end of a bare volume", u"\\\\.\\D:", bareEnd, 512, 0},
        {"running past the end of a bare volume", u"\\\\.\\D:", bareEnd - 512, 1024, 0},
        {"offset near 2^64 wrapping around", u"\\\\.\\D:", ~uint64_t{511}, 1024, 0},
        {"into the next partition", u"\\\\.\\E:", partitionEnd - 512, 1024, 0},
        {"just past the partition", u"\\\\.\\E:", partitionEnd, 512, 0},
    };
    Pages pages(8192);
    pages.Fill(0xC3);
    const auto bareBefore = ReadBytes(bare_, bareEnd - 4096, 4096);
    const auto diskAround = ReadBytes(disk_, (kPartitionStart + kPartitionSectors - 8) * 512ull, 8192);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto volume = Open(c.path);
        ASSERT_NE(volume, nullptr);
        EXPECT_FALSE(volume->WriteAt(c.offset, pages.Data() + c.bufferShift, c.count)) << c.name;
    }
    EXPECT_EQ(ReadBytes(bare_, 0, 4096), std::vector<std::byte>(4096));
    EXPECT_EQ(ReadBytes(bare_, bareEnd - 4096, 4096), bareBefore);
    EXPECT_EQ(ReadBytes(disk_, (kPartitionStart + kPartitionSectors - 8) * 512ull, 8192), diskAround);
    EXPECT_EQ(std::filesystem::file_size(bare_), kImageSize) << "a refused write never grows the file";
}

TEST_F(LinuxVolumeTest, TheLastSectorOfTheVolumeCanBeWritten) {
    Pages pages(512);
    pages.Fill(0x11);
    auto volume = Open(u"\\\\.\\E:");
    ASSERT_NE(volume, nullptr);
    EXPECT_TRUE(volume->WriteAt((kPartitionSectors - 1) * 512ull, pages.Data(), 512));
    volume->CloseHandle();
    EXPECT_EQ(ReadBytes(disk_, (kPartitionStart + kPartitionSectors - 1) * 512ull, 512),
              std::vector<std::byte>(512, std::byte{0x11}));
}

TEST_F(LinuxVolumeTest, SettingThePartitionTypeChangesOnlyThatByte) {
    const auto diskBefore = ReadBytes(disk_, 0, 4096);
    auto volume = Open(u"\\\\.\\E:");
    ASSERT_NE(volume, nullptr);
    ASSERT_TRUE(volume->SetPartitionType(kPartitionTypeFat32Lba));
    PartitionInformation info;
    ASSERT_TRUE(volume->GetPartitionInfo(info));
    EXPECT_EQ(info.PartitionType, kPartitionTypeFat32Lba);
    volume->CloseHandle();

    auto expected = diskBefore;
    expected[446 + 4] = std::byte{0x0C};
    EXPECT_EQ(ReadBytes(disk_, 0, 4096), expected);
}

TEST_F(LinuxVolumeTest, SettingThePartitionTypeOfABareVolumeChangesNothing) {
    WriteBytes(bare_, 0, PatternSector(0));
    auto volume = Open(u"\\\\.\\D:");
    ASSERT_NE(volume, nullptr);
    EXPECT_TRUE(volume->SetPartitionType(kPartitionTypeFat32Lba));
    volume->CloseHandle();
    EXPECT_EQ(ReadBytes(bare_, 0, 512), PatternSector(0));
}

TEST_F(LinuxVolumeTest, SettingThePartitionTypeFailsWhenTheTableChangedUnderneath) {
    auto volume = Open(u"\\\\.\\E:");
    ASSERT_NE(volume, nullptr);
    // Someone moved the partition: the entry no longer describes the volume that was opened.
    const auto moved = MbrSector({{0x06, 4096, kPartitionSectors}});
    WriteBytes(disk_, 0, moved);
    EXPECT_FALSE(volume->SetPartitionType(kPartitionTypeFat32Lba));
    volume->CloseHandle();
    EXPECT_EQ(ReadBytes(disk_, 0, 512), moved);
}

TEST_F(LinuxVolumeTest, AnImageOpenedExclusivelyCannotBeOpenedAgain) {
    auto first = Open(u"\\\\.\\D:");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Open(u"\\\\.\\D:"), nullptr);
    EXPECT_EQ(volumes_.LastOpenError(), EWOULDBLOCK);
    EXPECT_NE(volumes_.LastOpenStatus().message.find("exclusively: "), std::string::npos)
        << volumes_.LastOpenStatus().message;
    EXPECT_EQ(Open(u"\\\\.\\D:", kFileShareRead | kFileShareWrite), nullptr) << "nor shared";
    EXPECT_NE(Open(u"\\\\.\\E:"), nullptr) << "another image is not affected";
    first->CloseHandle();
    EXPECT_NE(Open(u"\\\\.\\D:"), nullptr) << "closing the handle ends the claim";
}

TEST_F(LinuxVolumeTest, ASharedOpenKeepsExclusiveOpenersOutAndLocksOnlyAlone) {
    auto shared = Open(u"\\\\.\\D:", kFileShareRead | kFileShareWrite);
    ASSERT_NE(shared, nullptr);
    auto other = Open(u"\\\\.\\D:", kFileShareRead | kFileShareWrite);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(Open(u"\\\\.\\D:"), nullptr);
    EXPECT_FALSE(shared->LockVolume()) << "another handle is open";
    other.reset();
    EXPECT_TRUE(shared->LockVolume());
    EXPECT_EQ(Open(u"\\\\.\\D:", kFileShareRead), nullptr) << "locked";
    EXPECT_TRUE(shared->UnlockVolume());
    EXPECT_NE(Open(u"\\\\.\\D:", kFileShareRead), nullptr) << "unlocked";
}

TEST_F(LinuxVolumeTest, UnlockNeedsALock) {
    auto volume = Open(u"\\\\.\\D:");
    ASSERT_NE(volume, nullptr);
    EXPECT_FALSE(volume->UnlockVolume());
    EXPECT_TRUE(volume->LockVolume());
    EXPECT_TRUE(volume->DismountVolume());
    EXPECT_TRUE(volume->UnlockVolume());
    EXPECT_FALSE(volume->UnlockVolume());
}

TEST_F(LinuxVolumeTest, AClosedHandleRefusesEverything) {
    auto volume = Open(u"\\\\.\\D:");
    ASSERT_NE(volume, nullptr);
    volume->CloseHandle();
    volume->CloseHandle();  // a second close is harmless
    Pages pages(512);
    DiskGeometry geometry;
    PartitionInformation info;
    EXPECT_FALSE(volume->LockVolume());
    EXPECT_FALSE(volume->GetDriveGeometry(geometry));
    EXPECT_FALSE(volume->GetPartitionInfo(info));
    EXPECT_FALSE(volume->SetPartitionType(0x0C));
    EXPECT_FALSE(volume->DismountVolume());
    EXPECT_FALSE(volume->WriteAt(0, pages.Data(), 512));
}

TEST_F(LinuxVolumeTest, FailedOpensReportTheirErrno) {
    struct Case {
        const char* name;
        const char16_t* path;
        int32_t error;
    };
    std::filesystem::remove(bare_);
    const Case cases[] = {
        {"letter without a target", u"\\\\.\\Q:", ENOENT},
        {"target file missing", u"\\\\.\\D:", ENOENT},
        {"not a volume path", u"E:", EINVAL},
        {"root path rather than volume path", u"\\\\.\\E:\\", EINVAL},
        {"not a letter", u"\\\\.\\1:", EINVAL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Open(c.path), nullptr);
        EXPECT_EQ(volumes_.LastOpenError(), c.error) << c.name;
    }
}

TEST_F(LinuxVolumeTest, ADiskWhoseFirstPartitionIsNoVolumeIsRefused) {
    WriteBytes(disk_, 0, MbrSector({{0xEE, 1, static_cast<uint32_t>(kImageSize / 512 - 1)}}));
    EXPECT_EQ(Open(u"\\\\.\\E:"), nullptr);
    EXPECT_EQ(volumes_.LastOpenError(), EMEDIUMTYPE);
}

TEST_F(LinuxVolumeTest, LowerCaseLettersAndFoldersAreResolved) {
    EXPECT_EQ(VolumeLetterFromPath(u"\\\\.\\d:"), 'D');
    EXPECT_EQ(VolumeLetterFromPath(u"\\\\.\\Z:"), 'Z');
    EXPECT_EQ(VolumeLetterFromPath(u"\\\\?\\D:"), 0);
    EXPECT_NE(Open(u"\\\\.\\e:"), nullptr);
    const std::string folder = dir_.File("folder");
    std::filesystem::create_directory(folder);
    drives_.Add(testing::ImageTarget(folder));
    EXPECT_EQ(Open(u"\\\\.\\F:"), nullptr) << "a folder is no volume";
}

TEST_F(LinuxVolumeTest, UsesDirectIoWhereTheFileSystemHasIt) {
    auto volume = Open(u"\\\\.\\D:");
    ASSERT_NE(volume, nullptr);
    struct statfs info {};
    ASSERT_EQ(::statfs(bare_.c_str(), &info), 0);
    constexpr long kTmpfsMagic = 0x01021994;
    auto& linux = static_cast<LinuxVolume&>(*volume);
    if (info.f_type != kTmpfsMagic) {
        EXPECT_TRUE(linux.DirectIo());
    }
    auto buffered = volumes_.CreateFileW(u"\\\\.\\E:", kOpenAccess, 0, 0);
    ASSERT_NE(buffered, nullptr);
    EXPECT_FALSE(static_cast<LinuxVolume&>(*buffered).DirectIo());
}

// tmpfs had no direct I/O for a long time (newer kernels have it): either way the volume opens
// and behaves the same.
TEST(LinuxVolumeOnTmpfsTest, WorksWithOrWithoutDirectIo) {
    struct statfs info {};
    constexpr long kTmpfsMagic = 0x01021994;
    if (::statfs("/dev/shm", &info) != 0 || info.f_type != kTmpfsMagic) {
        GTEST_SKIP() << "no tmpfs at /dev/shm";
    }
    testing::TempDir dir("/dev/shm");
    const std::string image = dir.File("bare.img");
    CreateSparseFile(image, 1 << 20);
    DriveTable drives;
    drives.Add(testing::ImageTarget(image));
    LinuxVolumeSystem volumes(drives);
    auto volume = volumes.CreateFileW(u"\\\\.\\D:", kOpenAccess, 0, kFileFlagNoBuffering);
    ASSERT_NE(volume, nullptr) << "errno " << volumes.LastOpenError();
    Pages pages(512);
    pages.Fill(0x77);
    EXPECT_TRUE(volume->WriteAt(512, pages.Data(), 512));
    EXPECT_FALSE(volume->WriteAt(512, pages.Data() + 8, 512)) << "the alignment rule holds all the same";
    volume->CloseHandle();
    EXPECT_EQ(ReadBytes(image, 512, 512), std::vector<std::byte>(512, std::byte{0x77}));
}

}  // namespace
}  // namespace tolven::linux_host
