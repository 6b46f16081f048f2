// End to end: the player's label, folders and files written by the FAT32 file layer onto sparse
// disk images, then checked by tools we did not write: fsck.fat, mtools and sleuthkit.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "fat32/format_volume.h"
#include "platform/linux/fatfs/linux_player_file_system.h"
#include "platform/linux/fatfs/linux_volume_information.h"
#include "platform/linux/fatfs/volume_label.h"
#include "tests/fatfs/test_volume.h"
#include "tests/linux/fatfs/image_drive_access.h"
#include "tests/support/external_tools.h"
#include "tests/support/fake_controls.h"
#include "tests/support/fake_volume.h"
#include "tests/support/file_bytes.h"
#include "tests/support/narrow_text.h"
#include "tests/support/temp_image.h"

namespace tolven::linux_host {
namespace {

using testing::CommandResult;
using testing::RunCommand;

enum class Formatter { kMkfsFat, kOurs };

std::string FormatterName(const ::testing::TestParamInfo<Formatter>& info) {
    return info.param == Formatter::kOurs ? "OurFormatter" : "MkfsFat";
}

class Fat32ImageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        image_ = dir_.File("player.img");
        drives_.Add({.path = image_, .isImage = true});  // D:
        access_ = testing::ImageDriveAccess(drives_);
        access_.localTime = [] { return SystemTime{2024, 3, 5, 15, 14, 30, 45, 678}; };
    }

    // A sparse image formatted by our formatter (through its in-memory volume, whose written
    // sectors are then copied into the image) with 64 sectors per cluster, as the Format command
    // asks.
    void MakeImageWithOurFormatter(uint64_t sectors) {
        testing::FakeVolumeSystem volumes(sectors);
        testing::FakeClock clock;
        testing::FakePageAllocator pages;
        testing::FakeLogControl log;
        testing::FakeProgressControl progress;
        const FormatRequest request{&log, &progress, 'D', 64};
        ASSERT_TRUE(FormatVolumeFat32(request, FormatPlatform{volumes, clock, pages}))
            << testing::Narrow(log.text);
        testing::CreateSparseFile(image_, sectors * 512);
        int error = 0;
        auto device = access_.openDevice(*drives_.Find('D'), true, error);
        ASSERT_NE(device, nullptr);
        for (const auto& [sector, bytes] : volumes.sectors()) {
            ASSERT_TRUE(device->Write(sector * 512, bytes.data(), bytes.size()));
        }
    }

    // A sparse image formatted by mkfs.fat with our cluster size and reserved area.
    void MakeImage(uint64_t sectors, uint32_t sectorsPerCluster) {
        testing::CreateSparseFile(image_, sectors * 512);
        const CommandResult mkfs = RunCommand("mkfs.fat -a -F 32 -s " + std::to_string(sectorsPerCluster) +
                                              " -R 32 -i 16063052 '" + image_ + "'");
        ASSERT_EQ(mkfs.exitCode, 0) << mkfs.output;
    }

    // fsck.fat -n exits 0 and says nothing but its version and the summary line. On volumes
    // under 65,525 clusters it also warns that they are small; that warning alone is allowed.
    void ExpectCleanFsck() { testing::ExpectCleanFsck(image_, testing::SmallVolumeWarning::kAllowed); }

    testing::TempDir dir_;
    std::string image_;
    DriveTable drives_;
    FatDriveAccess access_;
};

class Fat32ToolsTest : public Fat32ImageTest, public ::testing::WithParamInterface<Formatter> {};

TEST_P(Fat32ToolsTest, PlayerVolumePassesFsckMtoolsAndSleuthkit) {
    // 2 GiB and a little more: mtools and fsstat take FAT32 from 65,525 clusters on.
    if (GetParam() == Formatter::kOurs) {
        MakeImageWithOurFormatter(4200000);
    } else {
        MakeImage(4200000, 64);
    }
    // A fresh volume: no label entry yet, whatever its boot sector says.
    LinuxVolumeInformation freshInfo(access_);
    char16_t freshLabel[32] = u"junk";
    ASSERT_TRUE(freshInfo.GetVolumeInformationW(u"D:\\", freshLabel, 32)) << freshInfo.LastError().message;
    EXPECT_EQ(std::u16string(freshLabel), u"");
    ASSERT_TRUE(SetVolumeLabelA(access_, "D:\\", "PMP"));
    LinuxPlayerFileSystem files(access_);
    for (const char* folder : {"D:\\SYSTEM", "D:\\MOVIE", "D:\\MUSIC", "D:\\PHOTO", "D:\\TEXT"}) {
        ASSERT_TRUE(files.CreateDirectoryA(folder)) << folder << ": " << files.LastError().message;
    }
    struct Written {
        std::string name;
        std::vector<std::byte> bytes;
    };
    const std::vector<Written> written = {
        {"EMPTY.BIN", {}},
        {"ONE.BIN", testing::PatternBytes(1, 1)},
        {"CLUSTER.BIN", testing::PatternBytes(32768, 2)},
        {"CLUSTER1.BIN", testing::PatternBytes(32769, 3)},
        {"UNICODEF.FON", testing::PatternBytes(2096640, 4)},
    };
    for (const Written& w : written) {
        const std::string path = "D:\\SYSTEM\\" + w.name;
        auto file = files.CreateFileW(std::u16string(path.begin(), path.end()), kFileGenericWrite, 0,
                                      kCreateNew, kFileAttributeNormal);
        ASSERT_NE(file, nullptr) << w.name << ": " << files.LastError().message;
        uint32_t count = 0;
        ASSERT_TRUE(file->WriteFile(w.bytes.data(), static_cast<uint32_t>(w.bytes.size()), count)) << w.name;
        file->CloseHandle();
    }
    // A 32 KiB cluster holds 1,024 entries: 1,030 files and the dot entries take a second one.
    for (int i = 0; i < 1030; ++i) {
        const std::string path = "D:\\MUSIC\\T" + std::to_string(i) + ".MP3";
        ASSERT_NE(files.CreateFileW(std::u16string(path.begin(), path.end()), kFileGenericWrite, 0,
                                    kCreateNew, kFileAttributeNormal),
                  nullptr)
            << path << ": " << files.LastError().message;
    }
    // Creating an existing name fails and leaves the file as it was.
    EXPECT_EQ(files.CreateFileW(u"D:\\SYSTEM\\UNICODEF.FON", kFileGenericWrite, 0, kCreateNew,
                                kFileAttributeNormal),
              nullptr);

    ExpectCleanFsck();

    const CommandResult label = RunCommand("mlabel -i '" + image_ + "' -s ::");
    EXPECT_NE(label.output.find("Volume label is PMP"), std::string::npos) << label.output;
    const CommandResult root = RunCommand("mdir -i '" + image_ + "' ::");
    for (const char* folder : {"SYSTEM", "MOVIE", "MUSIC", "PHOTO", "TEXT"}) {
        EXPECT_TRUE(std::regex_search(root.output, std::regex(std::string("\\n") + folder + " +<DIR>")))
            << folder << "\n"
            << root.output;
    }
    for (const Written& w : written) {
        const std::string copy = dir_.File(w.name);
        const CommandResult mcopy =
            RunCommand("mcopy -i '" + image_ + "' ::/SYSTEM/" + w.name + " '" + copy + "'");
        ASSERT_EQ(mcopy.exitCode, 0) << w.name << ": " << mcopy.output;
        EXPECT_EQ(testing::ReadFileBytes(copy), w.bytes) << w.name << " differs";
    }
    const CommandResult music = RunCommand("mdir -b -i '" + image_ + "' ::/MUSIC");
    EXPECT_EQ(std::count(music.output.begin(), music.output.end(), '\n'), 1030) << "files in MUSIC";

    // fsstat's FSInfo free sector count is our free space.
    LinuxVolumeInformation info(access_);
    uint64_t total = 0;
    uint64_t free = 0;
    ASSERT_TRUE(info.GetDiskFreeSpaceExW(u"D:\\", total, free));
    char16_t text[32];
    ASSERT_TRUE(info.GetVolumeInformationW(u"D:\\", text, 32));
    EXPECT_EQ(std::u16string(text), u"PMP");
    const CommandResult fsstat = RunCommand("fsstat '" + image_ + "'");
    std::smatch match;
    ASSERT_TRUE(
        std::regex_search(fsstat.output, match, std::regex("Free Sector Count \\(FS Info\\): (\\d+)")))
        << fsstat.output;
    EXPECT_EQ(std::stoull(match[1]) * 512, free);
    EXPECT_NE(fsstat.output.find("Volume Label (Root Directory): PMP"), std::string::npos) << fsstat.output;
    EXPECT_NE(fsstat.output.find("Volume Label (Boot Sector): PMP"), std::string::npos) << fsstat.output;
    EXPECT_EQ(total, 65608ull * 32768) << "the formatter's cluster count";
}

INSTANTIATE_TEST_SUITE_P(BothFormatters, Fat32ToolsTest,
                         ::testing::Values(Formatter::kMkfsFat, Formatter::kOurs), FormatterName);

TEST_F(Fat32ImageTest, AFullVolumeRefusesTheWriteAndStaysClean) {
    // 8,034 clusters of 512 bytes: small enough to fill quickly, too small for mtools (fsck.fat
    // warns nothing about it).
    MakeImage(8192, 1);
    LinuxPlayerFileSystem files(access_);
    LinuxVolumeInformation info(access_);
    uint64_t total = 0;
    uint64_t free = 0;
    ASSERT_TRUE(info.GetDiskFreeSpaceExW(u"D:\\", total, free));
    const std::vector<std::byte> fill = testing::PatternBytes(free - 4 * 512, 1);
    auto big = files.CreateFileW(u"D:\\FILL.BIN", kFileGenericWrite, 0, kCreateNew, kFileAttributeNormal);
    ASSERT_NE(big, nullptr);
    uint32_t count = 0;
    ASSERT_TRUE(big->WriteFile(fill.data(), static_cast<uint32_t>(fill.size()), count));
    // Four clusters are left: five do not fit.
    auto more = files.CreateFileW(u"D:\\MORE.BIN", kFileGenericWrite, 0, kCreateNew, kFileAttributeNormal);
    ASSERT_NE(more, nullptr);
    const std::vector<std::byte> tooMuch = testing::PatternBytes(5 * 512, 2);
    EXPECT_FALSE(more->WriteFile(tooMuch.data(), static_cast<uint32_t>(tooMuch.size()), count));
    EXPECT_EQ(count, 0u);
    ExpectCleanFsck();
    // The installer removes the empty file; the volume stays clean.
    EXPECT_TRUE(files.DeleteFileW(u"D:\\MORE.BIN"));
    ExpectCleanFsck();
}

TEST_F(Fat32ImageTest, DamagedImagesAreRefusedAndLeftUntouched) {
    struct Case {
        const char* name;
        const char* damage;  // shell command run on the formatted image
        FatError expected;
    };
    const Case cases[] = {
        {"boot sector without signature", "printf '\\000\\000' | dd of=IMG bs=1 seek=510 conv=notrunc",
         FatError::kNotFat32},
        {"boot sector with 3 sectors per cluster", "printf '\\003' | dd of=IMG bs=1 seek=13 conv=notrunc",
         FatError::kInconsistent},
        {"truncated image", "truncate -s 3000000 IMG", FatError::kTruncated},
        {"image cut inside the FAT", "truncate -s 50000 IMG", FatError::kTruncated},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunCommand("rm -f '" + image_ + "'");
        MakeImage(8192, 1);
        std::string damage = c.damage;
        damage.replace(damage.find("IMG"), 3, "'" + image_ + "'");
        ASSERT_EQ(RunCommand(damage).exitCode, 0) << c.name;
        const std::string before = RunCommand("md5sum < '" + image_ + "'").output;

        LinuxPlayerFileSystem files(access_);
        LinuxVolumeInformation info(access_);
        FatStatus error;
        EXPECT_FALSE(SetVolumeLabelA(access_, "D:\\", "PMP", &error)) << c.name;
        EXPECT_EQ(error.error, c.expected) << c.name << ": " << error.message;
        EXPECT_NE(error.message.find(image_), std::string::npos) << "the message names the image";
        EXPECT_FALSE(files.CreateDirectoryA("D:\\SYSTEM")) << c.name;
        EXPECT_EQ(files.CreateFileW(u"D:\\A.BIN", kFileGenericWrite, 0, kCreateNew, kFileAttributeNormal),
                  nullptr);
        char16_t label[32];
        EXPECT_FALSE(info.GetVolumeInformationW(u"D:\\", label, 32)) << c.name;
        EXPECT_EQ(RunCommand("md5sum < '" + image_ + "'").output, before)
            << c.name << ": the image was written";
    }
}

TEST_F(Fat32ImageTest, DeletingAFileWithALongNameRemovesItsLongNameToo) {
    MakeImage(4200000, 64);
    const std::string local = dir_.File("note.txt");
    ASSERT_EQ(RunCommand("printf 'hello' > '" + local + "'").exitCode, 0);
    // mtools gives the file a long name and the short name LONGFI~1.TXT.
    const CommandResult copy = RunCommand("mcopy -i '" + image_ + "' '" + local +
                                          "' '::/Long file name.txt' && mdir -i '" + image_ + "' ::");
    ASSERT_EQ(copy.exitCode, 0) << copy.output;
    ASSERT_NE(copy.output.find("LONGFI~1 TXT"), std::string::npos) << copy.output;
    LinuxPlayerFileSystem files(access_);
    EXPECT_EQ(files.CreateFileW(u"D:\\LONGFI~1.TXT", kFileGenericWrite, 0, kCreateNew, kFileAttributeNormal),
              nullptr)
        << "the short name of a long-named file is taken";
    ASSERT_TRUE(files.DeleteFileW(u"D:\\LONGFI~1.TXT")) << files.LastError().message;
    ExpectCleanFsck();
    const CommandResult listing = RunCommand("mdir -i '" + image_ + "' ::");
    EXPECT_EQ(listing.output.find("Long file name"), std::string::npos) << listing.output;
}

}  // namespace
}  // namespace tolven::linux_host
