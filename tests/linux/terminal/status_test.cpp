#include "platform/linux/host/status.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "platform/linux/terminal/file_layer_status.h"
#include "platform/linux/terminal/interruptible_files.h"

namespace tolven::linux_host {
namespace {

TEST(StatusTest, FromErrnoNamesWhatFailedAndWhy) {
    const Status status = Status::FromErrno(EACCES, "cannot open 'x.img'");
    EXPECT_EQ(status.error, EACCES);
    EXPECT_EQ(status.message, "cannot open 'x.img': Permission denied");
    EXPECT_FALSE(status.ok());
    EXPECT_FALSE(Status::Refusal("'x.img' is too small").ok()) << "a refusal without errno fails too";
    EXPECT_TRUE(Status().ok());
}

// A folder that exists already is no failure: the installer relies on that errno.
TEST(FileLayerStatusTest, AFolderThatExistsIsNoFailureAndOtherErrorsKeepTheirMessage) {
    struct Folders final : IPlayerFileSystem {
        bool CreateDirectoryA(std::string_view) override { return false; }
        std::unique_ptr<IWritableFile> CreateFileW(std::u16string_view, uint32_t, uint32_t, uint32_t,
                                                   uint32_t) override {
            return nullptr;
        }
        bool DeleteFileW(std::u16string_view) override { return false; }
    } folders;
    FatStatus last = FatStatus::Fail(FatError::kAlreadyExists, "\"MUSIC\" exists");
    InterruptibleFiles files(
        folders, [] { return false; }, [&last] { return StatusOf(last); });
    files.CreateDirectoryA("E:\\MUSIC");
    EXPECT_TRUE(files.Failure().ok()) << files.Failure().message;
    last = FatStatus::Fail(FatError::kVolumeFull, "the volume is full");
    files.CreateDirectoryA("E:\\SYSTEM");
    EXPECT_EQ(files.Failure().error, ENOSPC);
    EXPECT_EQ(files.Failure().message, "cannot write 'E:\\SYSTEM': the volume is full");
}

}  // namespace
}  // namespace tolven::linux_host
