// Linux host: directories and new files on a FAT32 volume behind a drive letter.
#include "platform/linux/fatfs/linux_player_file_system.h"

#include <string>
#include <utility>

#include "platform/linux/fatfs/drive_path.h"

namespace tolven::linux_host {

namespace {

constexpr uint32_t kFileAttributeKeptBits = 0x07;  // read-only, hidden, system

// Parses a "X:\\..." path and opens the volume behind its drive letter.
template <typename PathText>
FatStatus OpenPathVolume(const FatDriveAccess& access, PathText path, DrivePath& parsed,
                         OpenedFatVolume& opened) {
    if (FatStatus status = ParseDrivePath(path, parsed); !status.ok()) {
        return status;
    }
    return OpenDriveVolume(access, parsed.letter, opened);
}

// The handle of a new file. The volume is opened afresh for the write, so that whatever happened
// on it between CreateFileW and WriteFile is seen.
class FatWritableFile final : public IWritableFile {
  public:
    FatWritableFile(const FatDriveAccess& access, DrivePath path, std::shared_ptr<FatStatus> lastError)
        : access_(access), path_(std::move(path)), lastError_(std::move(lastError)) {}

    bool WriteFile(const std::byte* data, uint32_t byteCount, uint32_t& bytesWritten) override {
        bytesWritten = 0;
        if (closed_) {
            return Report(FatStatus::Fail(FatError::kInvalidArgument, "the file is closed"));
        }
        if (byteCount == 0) {
            return Report(FatStatus::Ok());
        }
        if (written_) {
            return Report(FatStatus::Fail(FatError::kInvalidArgument,
                                          Quoted(path_.names.back()) + " is written in one call only"));
        }
        OpenedFatVolume opened;
        if (!Report(OpenDriveVolume(access_, path_.letter, opened))) {
            return false;
        }
        if (!Report(opened.volume->WriteContent(path_.names, data, byteCount))) {
            return false;
        }
        written_ = true;
        bytesWritten = byteCount;
        return true;
    }

    // Everything reached the device in WriteFile already.
    void CloseHandle() override { closed_ = true; }

  private:
    bool Report(FatStatus status) {
        *lastError_ = std::move(status);
        return lastError_->ok();
    }

    FatDriveAccess access_;
    DrivePath path_;
    bool written_ = false;
    bool closed_ = false;
    std::shared_ptr<FatStatus> lastError_;
};

}  // namespace

LinuxPlayerFileSystem::LinuxPlayerFileSystem(FatDriveAccess access)
    : access_(std::move(access)), lastError_(std::make_shared<FatStatus>()) {}

bool LinuxPlayerFileSystem::Report(FatStatus status) {
    *lastError_ = std::move(status);
    return lastError_->ok();
}

bool LinuxPlayerFileSystem::CreateDirectoryA(std::string_view path) {
    DrivePath parsed;
    OpenedFatVolume opened;
    if (!Report(OpenPathVolume(access_, path, parsed, opened))) {
        return false;
    }
    return Report(opened.volume->CreateDirectory(parsed.names));
}

std::unique_ptr<IWritableFile> LinuxPlayerFileSystem::CreateFileW(std::u16string_view path,
                                                                  uint32_t desiredAccess,
                                                                  uint32_t /*shareMode*/,
                                                                  uint32_t creationDisposition,
                                                                  uint32_t flagsAndAttributes) {
    if (creationDisposition != kCreateNew || (desiredAccess & kFileGenericWrite) == 0) {
        Report(
            FatStatus::Fail(FatError::kInvalidArgument, "only new files opened for writing can be created"));
        return nullptr;
    }
    DrivePath parsed;
    OpenedFatVolume opened;
    if (!Report(OpenPathVolume(access_, path, parsed, opened))) {
        return nullptr;
    }
    const auto attributes =
        static_cast<uint8_t>(kAttrArchive | (flagsAndAttributes & kFileAttributeKeptBits));
    if (!Report(opened.volume->CreateFile(parsed.names, attributes))) {
        return nullptr;
    }
    return std::make_unique<FatWritableFile>(access_, std::move(parsed), lastError_);
}

bool LinuxPlayerFileSystem::DeleteFileW(std::u16string_view path) {
    DrivePath parsed;
    OpenedFatVolume opened;
    if (!Report(OpenPathVolume(access_, path, parsed, opened))) {
        return false;
    }
    return Report(opened.volume->DeleteFile(parsed.names));
}

}  // namespace tolven::linux_host
