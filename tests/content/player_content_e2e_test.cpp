// End to end on Linux: a sparse disk image formatted by our formatter, labelled and filled by the
// installer through the host's FAT32 file layer, then read back by tools we did not write.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "content/player_content_installer.h"
#include "content/system_file_table.h"
#include "fat32/format_volume.h"
#include "platform/linux/content/linked_content_store.h"
#include "platform/linux/fatfs/linux_player_file_system.h"
#include "platform/linux/fatfs/volume_label.h"
#include "platform/linux/volume/linux_clock.h"
#include "platform/linux/volume/linux_page_allocator.h"
#include "platform/linux/volume/linux_volume.h"
#include "tests/linux/fatfs/image_drive_access.h"
#include "tests/support/external_tools.h"
#include "tests/support/fake_controls.h"
#include "tests/support/file_bytes.h"
#include "tests/support/narrow_text.h"
#include "tests/support/temp_image.h"

namespace tolven::linux_host {
namespace {

using tolven::testing::CommandResult;
using tolven::testing::Narrow;
using tolven::testing::ReadFileBytes;
using tolven::testing::RunCommand;

class PlayerContentEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        if (RunCommand("command -v mcopy && command -v fsck.fat").exitCode != 0) {
            GTEST_SKIP() << "mtools or fsck.fat is not installed";
        }
        image_ = dir_.File("player.img");
    }

    // A fresh 2 GiB sparse image (mtools takes FAT32 from 65,525 clusters on), formatted and
    // labelled "PMP" as the Format command does before it installs; returns its drive letter.
    char FormatPlayerImage(DriveTable& drives) {
        tolven::testing::CreateSparseFile(image_, uint64_t{4'200'000} * 512);
        const char letter = drives.Add({.path = image_, .isImage = true});
        LinuxVolumeSystem volumes(drives);
        LinuxClock clock;
        LinuxPageAllocator pages;
        testing::FakeLogControl log;
        testing::FakeProgressControl progress;
        const FormatRequest request{&log, &progress, letter, 64};
        EXPECT_TRUE(FormatVolumeFat32(request, {volumes, clock, pages})) << Narrow(log.text);
        EXPECT_TRUE(SetVolumeLabelA(Access(drives), std::string(1, letter) + ":\\", "PMP"));
        return letter;
    }

    FatDriveAccess Access(const DriveTable& drives) { return tolven::testing::ImageDriveAccess(drives); }

    void ExpectCleanFsck() { tolven::testing::ExpectCleanFsck(image_); }

    tolven::testing::TempDir dir_;
    std::string image_;
};

TEST_F(PlayerContentEndToEnd, EachModelsFilesReadBackByteForByte) {
    const LinkedContentStore store;
    for (const char16_t* model : {u"VQ10", u"VQ20", u"VQ40"}) {
        SCOPED_TRACE(Narrow(model));
        DriveTable drives;
        const char letter = FormatPlayerImage(drives);
        LinuxPlayerFileSystem files(Access(drives));
        ASSERT_TRUE(InstallPlayerContent(letter, model, store, files)) << files.LastError().message;

        const CommandResult root = RunCommand("mdir -i '" + image_ + "' -b ::/");
        for (const char* folder : {"SYSTEM", "MOVIE", "MUSIC", "PHOTO", "TEXT"}) {
            EXPECT_NE(root.output.find(std::string("::/") + folder), std::string::npos) << folder << "\n"
                                                                                        << root.output;
        }
        const auto list = BuildSystemFileList(letter, model);
        const CommandResult system = RunCommand("mdir -i '" + image_ + "' -b ::/SYSTEM");
        EXPECT_EQ(std::count(system.output.begin(), system.output.end(), '\n'),
                  static_cast<long>(list.size()))
            << system.output;
        for (const SystemFileEntry& entry : list) {
            const std::string name = Narrow(entry.fileName);
            SCOPED_TRACE(name);
            const std::filesystem::path copy = dir_.Path() / name;
            const CommandResult read =
                RunCommand("mcopy -n -i '" + image_ + "' ::/SYSTEM/" + name + " '" + copy.string() + "'");
            ASSERT_EQ(read.exitCode, 0) << read.output;
            const auto block = store.FindContentResource(entry.resourceId);
            ASSERT_TRUE(block.has_value());
            EXPECT_EQ(ReadFileBytes(copy), std::vector<std::byte>(block->begin(), block->end()));
        }
        ExpectCleanFsck();
    }
}

TEST_F(PlayerContentEndToEnd, SecondInstallLeavesTheWrittenFilesAsTheyAre) {
    const LinkedContentStore store;
    DriveTable drives;
    const char letter = FormatPlayerImage(drives);
    LinuxPlayerFileSystem files(Access(drives));
    ASSERT_TRUE(InstallPlayerContent(letter, u"VQ40", store, files));
    // The system area, the FATs and the first clusters hold everything the installer wrote.
    constexpr size_t kWrittenPart = 64u << 20;
    const std::vector<std::byte> before = ReadFileBytes(image_, kWrittenPart);

    EXPECT_FALSE(InstallPlayerContent(letter, u"VQ40", store, files)) << "every file of the list exists";
    EXPECT_TRUE(ReadFileBytes(image_, kWrittenPart) == before) << "the volume changed";
    ExpectCleanFsck();
}

}  // namespace
}  // namespace tolven::linux_host
