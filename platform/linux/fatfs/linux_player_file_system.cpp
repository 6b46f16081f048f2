// Linux host: directories and new files on a FAT32 volume behind a drive letter.
#include "platform/linux/fatfs/linux_player_file_system.h"

#include <string>
#include <utility>

#include "platform/linux/fatfs/drive_path.h"

namespace tolven::linux_host {

namespace {

// FILE_ATTRIBUTE_READONLY, _HIDDEN and _SYSTEM are the FAT attribute bits of the same names.
constexpr uint32_t kFileAttributeKeptBits = kAttrReadOnly | kAttrHidden | kAttrSystem;

// The handle of a new file: its one WriteFile goes through the drive's mount like every call.
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
        if (!Report(WithDriveVolume(access_, path_.letter, FatIntent::kWrite, [&](Fat32Volume& volume) {
                return volume.WriteContent(path_.names, data, byteCount);
            }))) {
            return false;
        }
        written_ = true;
        bytesWritten = byteCount;
        return true;
    }

    // Everything reached the device in WriteFile already: the close cannot fail.
    bool CloseHandle() override {
        closed_ = true;
        return true;
    }

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

// Parses a "X:\\..." path and runs `work` with its names on the mount of its drive.
template <typename PathText, typename Work>
FatStatus ChangeVolume(const FatDriveAccess& access, PathText path, DrivePath& parsed, const Work& work) {
    if (FatStatus status = ParseDrivePath(path, parsed); !status.ok()) {
        return status;
    }
    return WithDriveVolume(access, parsed.letter, FatIntent::kWrite,
                           [&](Fat32Volume& volume) { return work(volume, parsed.names); });
}

}  // namespace

LinuxPlayerFileSystem::LinuxPlayerFileSystem(FatDriveAccess access)
    : access_(std::move(access)), lastError_(std::make_shared<FatStatus>()) {}

bool LinuxPlayerFileSystem::Report(FatStatus status) {
    *lastError_ = std::move(status);
    return lastError_->ok();
}

bool LinuxPlayerFileSystem::CreateDirectoryA(std::string_view path) {
    DrivePath parsed;
    return Report(
        ChangeVolume(access_, path, parsed, [](Fat32Volume& volume, const std::vector<std::string>& names) {
            return volume.CreateDirectory(names);
        }));
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
    const auto attributes =
        static_cast<uint8_t>(kAttrArchive | (flagsAndAttributes & kFileAttributeKeptBits));
    DrivePath parsed;
    if (!Report(ChangeVolume(access_, path, parsed,
                             [attributes](Fat32Volume& volume, const std::vector<std::string>& names) {
                                 return volume.CreateFile(names, attributes);
                             }))) {
        return nullptr;
    }
    return std::make_unique<FatWritableFile>(access_, std::move(parsed), lastError_);
}

bool LinuxPlayerFileSystem::DeleteFileW(std::u16string_view path) {
    DrivePath parsed;
    return Report(ChangeVolume(
        access_, path, parsed,
        [](Fat32Volume& volume, const std::vector<std::string>& names) { return volume.DeleteFile(names); }));
}

}  // namespace tolven::linux_host
