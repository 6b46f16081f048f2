// The run's targets: one descriptor per target whatever later happens to its path, the identity
// checked whenever the path is opened again, and zero writes punched as holes on images.
#include "platform/linux/volume/target_table.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <iostream>

#include "tests/linux/volume/disk_image.h"
#include "tests/linux/volume/loop_device.h"

namespace tolven::linux_host {
namespace {

using testing::CreateSparseFile;
using testing::ReadBytes;
using testing::WriteBytes;

TEST(TargetTableTest, ATargetIsOpenedOnceAndKeptWhateverHappensToItsPath) {
    testing::TempDir dir;
    const std::string image = dir.File("player.img");
    const std::string moved = dir.File("moved.img");
    CreateSparseFile(image, 1 << 20);
    DriveTable drives;
    drives.Add(testing::ImageTarget(image));
    TargetTable targets(drives);
    const TargetOpen first = targets.Open('D');
    ASSERT_NE(first.target, nullptr) << first.status.message;

    // Renamed and replaced: the run goes on with the file it opened.
    std::filesystem::rename(image, moved);
    CreateSparseFile(image, 1 << 20);
    const TargetOpen again = targets.Open('d');
    EXPECT_EQ(again.target, first.target);
    const std::vector<std::byte> data = testing::PatternSector(1);
    ASSERT_EQ(again.target->Write(512, data.data(), data.size()), 0);
    EXPECT_EQ(ReadBytes(moved, 512, 512), data);
    EXPECT_EQ(ReadBytes(image, 512, 512), std::vector<std::byte>(512));
    UniqueFd claim;
    EXPECT_EQ(first.target->ReopenSame(O_RDONLY, claim), ESTALE) << "the path names another file now";

    // Another name of the file opened: the same descriptor.
    std::filesystem::create_symlink(moved, dir.File("link.img"));
    drives.Add(testing::ImageTarget(dir.File("link.img")));
    EXPECT_EQ(targets.Open('E').target, first.target);
}

bool MountRamfs(const std::string& folder) {
    std::filesystem::create_directory(folder);
    return ::mount("ramfs", folder.c_str(), "ramfs", 0, "size=4m") == 0;
}

uint64_t AllocatedBytes(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_blocks) * 512 : 0;
}

TEST(TargetTableTest, ATargetIsNeverOpenedOnAStandardDescriptor) {
    testing::TempDir dir;
    const std::string image = dir.File("player.img");
    CreateSparseFile(image, 1 << 20);
    // Standard input closed: the next open would get descriptor 0.
    const int savedInput = ::dup(STDIN_FILENO);
    ASSERT_GE(savedInput, 0);
    ::close(STDIN_FILENO);
    const TargetOpen opened = OpenTargetPath(image);
    const bool leftOpen = ::fcntl(STDIN_FILENO, F_GETFD) >= 0;
    ::dup2(savedInput, STDIN_FILENO);
    ::close(savedInput);
    EXPECT_EQ(opened.target, nullptr);
    EXPECT_EQ(opened.status.error, EBADF);
    EXPECT_FALSE(leftOpen) << "the refused descriptor was not closed";
}

TEST(TargetWriteTest, ZeroWritesPunchHolesOnImagesAndFallBackToWritingWhereRefused) {
    testing::TempDir dir;
    const std::string ramfs = dir.File("ramfs");
    struct Case {
        const char* name;
        std::string folder;
        bool holes;
    };
    std::vector<Case> cases = {{"file system with holes", dir.Path().string(), true}};
    if (MountRamfs(ramfs)) {
        cases.push_back({"ramfs, which has none", ramfs, false});
    } else {
        std::cout << "no ramfs here: the fallback goes unchecked\n";
    }
    constexpr std::size_t kBytes = 256 * 1024;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string image = c.folder + "/image.img";
        CreateSparseFile(image, 1 << 20);
        WriteBytes(image, 0, std::vector<std::byte>(kBytes, std::byte{0x5A}));
        ::sync();
        const uint64_t before = AllocatedBytes(image);
        const TargetOpen opened = OpenTargetPath(image);
        ASSERT_NE(opened.target, nullptr) << opened.status.message;
        const std::vector<std::byte> zeros(kBytes / 2);
        for (int call = 0; call < 2; ++call) {  // the second one after a refusal as well
            EXPECT_EQ(opened.target->Write(call * zeros.size(), zeros.data(), zeros.size()), 0);
        }
        EXPECT_EQ(ReadBytes(image, 0, kBytes), std::vector<std::byte>(kBytes));
        if (c.holes) {
            EXPECT_LE(AllocatedBytes(image) + kBytes, before) << "the zeros were written, not punched";
        }
        std::filesystem::remove(image);
    }
    if (cases.size() > 1) {
        ::umount2(ramfs.c_str(), MNT_DETACH);
    }
}

// An image cut short, and the file of a loop device cut in half: no transfer goes on, and the
// reason names both lengths. A write past the opened length fails too.
TEST(TargetLengthTest, ATargetCutShortUnderTheRunFailsEveryTransfer) {
    testing::TempDir dir;
    const std::string image = dir.File("player.img");
    constexpr uint64_t kLength = 4 << 20;
    CreateSparseFile(image, kLength);
    const testing::LoopDevice loop(image);
    const std::vector<std::byte> sector = testing::PatternSector(1);
    for (const std::string& path : {image, loop.Device()}) {
        if (path.empty()) {
            std::cout << "no loop device: " << loop.Why() << "\n";
            continue;
        }
        std::filesystem::resize_file(image, kLength);
        const TargetOpen opened = OpenTargetPath(path);
        ASSERT_NE(opened.target, nullptr) << opened.status.message;
        OpenTarget& target = *opened.target;
        EXPECT_EQ(target.Write(kLength - 512, std::vector<std::byte>(1024).data(), 1024), EIO) << path;
        ASSERT_EQ(target.Write(0, sector.data(), 512), 0) << path;
        EXPECT_EQ(target.LengthChange().message, "") << path;
        std::filesystem::resize_file(image, kLength / 2);
        EXPECT_EQ(target.Write(0, sector.data(), 512), ESTALE) << path;
        EXPECT_NE(target.LengthChange().message.find(std::to_string(kLength / 2)), std::string::npos)
            << target.LengthChange().message;
    }
}

}  // namespace
}  // namespace tolven::linux_host
