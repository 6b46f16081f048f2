// The Linux volume information, player file system and SetVolumeLabelA over drive letters.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "platform/linux/fatfs/linux_player_file_system.h"
#include "platform/linux/fatfs/linux_volume_information.h"
#include "platform/linux/fatfs/volume_label.h"
#include "tests/fatfs/memory_block_device.h"
#include "tests/fatfs/test_volume.h"

namespace tolven::linux_host {
namespace {

using testing::MemoryBlockDevice;

// Hands out views of volumes kept by the test, by target path, counting the bytes read from the
// first FAT and reporting a change count the test can move (as a format below the mount does).
class SharedDevice : public IBlockDevice {
  public:
    SharedDevice(MemoryBlockDevice& device, uint64_t fatStart, uint64_t fatEnd, uint64_t& fatBytesRead,
                 const uint64_t& changes)
        : device_(device),
          fatStart_(fatStart),
          fatEnd_(fatEnd),
          fatBytesRead_(fatBytesRead),
          changes_(changes) {}
    uint32_t SectorSize() const override { return device_.SectorSize(); }
    uint64_t SectorCount() const override { return device_.SectorCount(); }
    uint64_t ChangeCount() const override { return changes_; }
    bool Read(uint64_t o, std::byte* d, std::size_t n) override {
        const uint64_t from = std::max(o, fatStart_);
        const uint64_t to = std::min(o + n, fatEnd_);
        fatBytesRead_ += to > from ? to - from : 0;
        return device_.Read(o, d, n);
    }
    bool Write(uint64_t o, const std::byte* d, std::size_t n) override { return device_.Write(o, d, n); }
    bool Flush() override { return device_.Flush(); }

  private:
    MemoryBlockDevice& device_;
    uint64_t fatStart_;
    uint64_t fatEnd_;
    uint64_t& fatBytesRead_;
    const uint64_t& changes_;
};

class LinuxFatHostTest : public ::testing::Test {
  protected:
    void SetUp() override {
        layout_ = testing::FormatTestVolume(player_, 8);
        ASSERT_EQ(drives_.Add({.path = "player.img", .isImage = true}), 'D');
        ASSERT_EQ(drives_.Add({.path = "raw.img", .isImage = true}), 'E');
        ASSERT_EQ(drives_.Add({.path = "gone.img", .isImage = true}), 'F');
        access_.drives = &drives_;
        access_.openDevice = [this](const DriveTarget& target, bool, int&) -> std::unique_ptr<IBlockDevice> {
            ++opens_;
            MemoryBlockDevice* device = target.path == "player.img" ? &player_
                                        : target.path == "raw.img"  ? &raw_
                                                                    : nullptr;
            if (device == nullptr) {
                return nullptr;
            }
            return std::make_unique<SharedDevice>(*device, layout_.FatOffset(0), layout_.FatOffset(1),
                                                  fatBytesRead_, changes_);
        };
        access_.localTime = [] { return SystemTime{2024, 3, 5, 15, 14, 30, 45, 678}; };
    }

    // What the Format command asks of the file layer once the volume is formatted: the panel,
    // the label, the folders and files, the panel again.
    void RunContentStep() {
        LinuxVolumeInformation info(access_);
        LinuxPlayerFileSystem files(access_);
        uint64_t total = 0;
        uint64_t free = 0;
        ASSERT_TRUE(info.GetDiskFreeSpaceExW(u"D:\\", total, free)) << info.LastError().message;
        ASSERT_TRUE(SetVolumeLabelA(access_, "D:\\", "PMP"));
        for (const char* folder : {"D:\\SYSTEM", "D:\\MOVIE", "D:\\MUSIC", "D:\\PHOTO", "D:\\TEXT"}) {
            ASSERT_TRUE(files.CreateDirectoryA(folder)) << files.LastError().message;
        }
        for (const char16_t* name : {u"D:\\SYSTEM\\A.JPG", u"D:\\SYSTEM\\B.JPG"}) {
            auto file = files.CreateFileW(name, kFileGenericWrite, 0, kCreateNew, kFileAttributeNormal);
            ASSERT_NE(file, nullptr) << files.LastError().message;
            const std::vector<std::byte> data = testing::PatternBytes(9000, 1);
            uint32_t written = 0;
            ASSERT_TRUE(file->WriteFile(data.data(), static_cast<uint32_t>(data.size()), written));
            file->CloseHandle();
        }
        char16_t label[32];
        ASSERT_TRUE(info.GetVolumeInformationW(u"D:\\", label, 32));
        ASSERT_TRUE(info.GetDiskFreeSpaceExW(u"D:\\", total, free));
        EXPECT_EQ(free, (uint64_t{layout_.clusterCount} - 1 - 5 - 2 * 3) * 4096);
    }

    // A FAT of four cache chunks rather than one, so that a whole read shows.
    void UseLargerPlayer() {
        player_ = MemoryBlockDevice(262144);
        layout_ = testing::FormatTestVolume(player_, 8);
    }

    uint64_t FatBytes() const { return layout_.FatOffset(1) - layout_.FatOffset(0); }

    MemoryBlockDevice player_{65536};
    MemoryBlockDevice raw_{65536};
    testing::TestLayout layout_;
    DriveTable drives_;
    FatDriveAccess access_;
    int opens_ = 0;
    uint64_t fatBytesRead_ = 0;
    uint64_t changes_ = 0;
};

TEST_F(LinuxFatHostTest, TheContentStepMountsOnceAndTrustsAValidFsInfo) {
    UseLargerPlayer();
    RunContentStep();
    EXPECT_EQ(opens_, 1);
    EXPECT_LT(fatBytesRead_, FatBytes()) << "FSInfo was valid: the FAT is not read whole";
    EXPECT_EQ(testing::CheckConsistency(player_, layout_), "");
}

TEST_F(LinuxFatHostTest, AnUnknownFreeCountIsCountedOnceForTheWholeContentStep) {
    UseLargerPlayer();
    player_.Poke(512 + 488, std::vector<std::byte>(4, std::byte{0xFF}));
    RunContentStep();
    EXPECT_EQ(opens_, 1);
    EXPECT_LT(fatBytesRead_, 2 * FatBytes()) << "the FAT is read whole once";
    EXPECT_EQ(testing::CheckConsistency(player_, layout_), "");
}

TEST_F(LinuxFatHostTest, TheMountIsMadeAgainWhenTheVolumeBelowChanged) {
    LinuxPlayerFileSystem files(access_);
    LinuxVolumeInformation info(access_);
    ASSERT_TRUE(files.CreateDirectoryA("D:\\SYSTEM"));
    layout_ = testing::FormatTestVolume(player_, 8);  // formatted again below the mount
    player_.Poke(layout_.ClusterOffset(2), std::vector<std::byte>(4096));
    ++changes_;
    uint64_t total = 0;
    uint64_t free = 0;
    ASSERT_TRUE(info.GetDiskFreeSpaceExW(u"D:\\", total, free));
    EXPECT_EQ(free, uint64_t{layout_.clusterCount - 1} * 4096) << "the new volume's free space";
    EXPECT_TRUE(files.CreateDirectoryA("D:\\SYSTEM")) << "the old volume's folder is gone";
    EXPECT_EQ(opens_, 2);
    EXPECT_EQ(testing::CheckConsistency(player_, layout_), "");
}

TEST_F(LinuxFatHostTest, PanelQueriesReadLabelAndSpace) {
    LinuxVolumeInformation info(access_);
    char16_t label[32] = u"junk";
    ASSERT_TRUE(info.GetVolumeInformationW(u"D:\\", label, 32)) << info.LastError().message;
    EXPECT_EQ(std::u16string(label), u"") << "no label entry yet";

    ASSERT_TRUE(SetVolumeLabelA(access_, "D:\\", "PMP"));
    ASSERT_TRUE(info.GetVolumeInformationW(u"D:\\", label, 32));
    EXPECT_EQ(std::u16string(label), u"PMP");

    uint64_t total = 0;
    uint64_t free = 0;
    ASSERT_TRUE(info.GetDiskFreeSpaceExW(u"D:\\", total, free));
    EXPECT_EQ(total, uint64_t{layout_.clusterCount} * 4096);
    EXPECT_EQ(free, uint64_t{layout_.clusterCount - 1} * 4096);
}

TEST_F(LinuxFatHostTest, PanelQueriesFailCleanly) {
    LinuxVolumeInformation info(access_);
    ASSERT_TRUE(SetVolumeLabelA(access_, "D:\\", "PMP"));
    struct Case {
        const char* name;
        std::u16string root;
        uint32_t capacity;
        FatError expected;
    };
    const Case cases[] = {
        {"unformatted volume", u"E:\\", 32, FatError::kNotFat32},
        {"device that cannot be opened", u"F:\\", 32, FatError::kIo},
        {"letter without drive", u"Q:\\", 32, FatError::kNotFound},
        {"not a root path", u"D:\\SYSTEM", 32, FatError::kInvalidName},
        {"label does not fit with its NUL", u"D:\\", 3, FatError::kInvalidArgument},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        char16_t label[32];
        EXPECT_FALSE(info.GetVolumeInformationW(c.root, label, c.capacity)) << c.name;
        EXPECT_EQ(info.LastError().error, c.expected) << c.name << ": " << info.LastError().message;
        if (c.capacity == 32) {
            uint64_t total = 0;
            uint64_t free = 0;
            EXPECT_FALSE(info.GetDiskFreeSpaceExW(c.root, total, free)) << c.name;
        }
    }
    EXPECT_EQ(raw_.writeCount, 0u);
}

TEST_F(LinuxFatHostTest, InstallerCallsCreateFoldersAndFiles) {
    LinuxPlayerFileSystem files(access_);
    for (const char* folder : {"D:\\SYSTEM", "D:\\MOVIE", "D:\\MUSIC", "D:\\PHOTO", "D:\\TEXT"}) {
        EXPECT_TRUE(files.CreateDirectoryA(folder)) << folder << ": " << files.LastError().message;
    }
    EXPECT_FALSE(files.CreateDirectoryA("D:\\SYSTEM")) << "an existing folder fails";
    EXPECT_EQ(files.LastError().error, FatError::kAlreadyExists);

    const std::vector<std::byte> data = testing::PatternBytes(70000, 5);
    auto file =
        files.CreateFileW(u"D:\\SYSTEM\\INTRO.JPG", kFileGenericWrite, 0, kCreateNew, kFileAttributeNormal);
    ASSERT_NE(file, nullptr) << files.LastError().message;
    uint32_t written = 0;
    ASSERT_TRUE(file->WriteFile(data.data(), static_cast<uint32_t>(data.size()), written));
    EXPECT_EQ(written, data.size());
    // A second write is refused and changes nothing.
    EXPECT_FALSE(file->WriteFile(data.data(), 10, written));
    EXPECT_EQ(written, 0u);
    file->CloseHandle();

    EXPECT_EQ(
        files.CreateFileW(u"D:\\SYSTEM\\INTRO.JPG", kFileGenericWrite, 0, kCreateNew, kFileAttributeNormal),
        nullptr)
        << "CREATE_NEW on an existing name";
    EXPECT_EQ(files.LastError().error, FatError::kAlreadyExists);

    const std::vector<testing::TestEntry> root = testing::ReadDirectory(player_, layout_, 2);
    ASSERT_EQ(root.size(), 5u);
    const std::vector<testing::TestEntry> system =
        testing::ReadDirectory(player_, layout_, root[0].firstCluster);
    ASSERT_EQ(system.size(), 3u);
    EXPECT_EQ(system[2].name, "INTRO   JPG");
    EXPECT_EQ(testing::ReadFileBytes(player_, layout_, system[2]), data);
    EXPECT_EQ(testing::CheckConsistency(player_, layout_), "");
}

TEST_F(LinuxFatHostTest, CreateFileRefusesWhatItDoesNotServe) {
    LinuxPlayerFileSystem files(access_);
    ASSERT_TRUE(files.CreateDirectoryA("D:\\SYSTEM"));
    struct Case {
        const char* name;
        std::u16string path;
        uint32_t access;
        uint32_t disposition;
        FatError expected;
    };
    constexpr uint32_t kCreateAlways = 2;
    const Case cases[] = {
        {"CREATE_ALWAYS", u"D:\\SYSTEM\\A.BIN", kFileGenericWrite, kCreateAlways, FatError::kInvalidArgument},
        {"read access only", u"D:\\SYSTEM\\A.BIN", 0x80000000u, kCreateNew, FatError::kInvalidArgument},
        {"missing folder", u"D:\\NOPE\\A.BIN", kFileGenericWrite, kCreateNew, FatError::kNotFound},
        {"long name", u"D:\\SYSTEM\\unicodefont.fon", kFileGenericWrite, kCreateNew, FatError::kInvalidName},
        {"Korean name", u"D:\\SYSTEM\\\uD55C.JPG", kFileGenericWrite, kCreateNew, FatError::kInvalidName},
        {"unformatted volume", u"E:\\A.BIN", kFileGenericWrite, kCreateNew, FatError::kNotFat32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(files.CreateFileW(c.path, c.access, 0, c.disposition, kFileAttributeNormal), nullptr)
            << c.name;
        EXPECT_EQ(files.LastError().error, c.expected) << c.name << ": " << files.LastError().message;
    }
    EXPECT_EQ(raw_.writeCount, 0u);
}

TEST_F(LinuxFatHostTest, AFileThatCouldNotBeWrittenIsDeleted) {
    LinuxPlayerFileSystem files(access_);
    ASSERT_TRUE(files.CreateDirectoryA("D:\\SYSTEM"));
    auto file =
        files.CreateFileW(u"D:\\SYSTEM\\BIG.BIN", kFileGenericWrite, 0, kCreateNew, kFileAttributeNormal);
    ASSERT_NE(file, nullptr);
    const std::vector<std::byte> tooBig(uint64_t{layout_.clusterCount} * 4096);
    uint32_t written = 1;
    EXPECT_FALSE(file->WriteFile(tooBig.data(), static_cast<uint32_t>(tooBig.size()), written));
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(files.LastError().error, FatError::kVolumeFull) << files.LastError().message;
    file->CloseHandle();
    EXPECT_TRUE(files.DeleteFileW(u"D:\\SYSTEM\\BIG.BIN")) << files.LastError().message;
    EXPECT_FALSE(files.DeleteFileW(u"D:\\SYSTEM\\BIG.BIN"));
    EXPECT_EQ(files.LastError().error, FatError::kNotFound);
    EXPECT_FALSE(files.DeleteFileW(u"D:\\SYSTEM"));
    EXPECT_EQ(testing::ReadDirectory(player_, layout_, 3).size(), 2u);
    EXPECT_EQ(testing::CheckConsistency(player_, layout_), "");
}

TEST_F(LinuxFatHostTest, SetVolumeLabelAReportsWhyItFailed) {
    struct Case {
        const char* name;
        const char* root;
        const char* label;
        FatError expected;
    };
    const Case cases[] = {
        {"label set", "D:\\", "PMP", FatError::kNone},
        {"lower-case letter", "d:\\", "pmp", FatError::kNone},
        {"unformatted volume", "E:\\", "PMP", FatError::kNotFat32},
        {"no such drive", "Z:\\", "PMP", FatError::kNotFound},
        {"not a root", "D:\\SYSTEM", "PMP", FatError::kInvalidName},
        {"forbidden character", "D:\\", "P?P", FatError::kInvalidName},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FatStatus error;
        EXPECT_EQ(SetVolumeLabelA(access_, c.root, c.label, &error), c.expected == FatError::kNone) << c.name;
        EXPECT_EQ(error.error, c.expected) << c.name << ": " << error.message;
    }
    EXPECT_EQ(raw_.writeCount, 0u);
}

}  // namespace
}  // namespace tolven::linux_host
