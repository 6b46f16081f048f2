// Linux host: the content installer's folder and file calls, carried out by the host's own
// FAT32 file layer on the volume behind the drive letter.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "content/player_file_system.h"
#include "platform/linux/fatfs/fat_drive_access.h"

namespace tolven::linux_host {

class LinuxPlayerFileSystem final : public IPlayerFileSystem {
  public:
    explicit LinuxPlayerFileSystem(FatDriveAccess access);

    // "X:\NAME" or "X:\DIR\NAME": one new directory, its parent must exist.
    bool CreateDirectoryA(std::string_view path) override;
    // Only CREATE_NEW with GENERIC_WRITE is served. The empty file's entry is made here. Its
    // handle takes one WriteFile with the whole content (a later non-empty WriteFile is refused,
    // the file keeps what it has); a WriteFile that fails writes nothing and leaves the file empty.
    // FILE_ATTRIBUTE_READONLY, _HIDDEN and _SYSTEM are kept, every file gets the archive bit.
    // shareMode is not enforced: every call goes through the drive's one mount, which holds the
    // target's exclusive claim.
    std::unique_ptr<IWritableFile> CreateFileW(std::u16string_view path, uint32_t desiredAccess,
                                               uint32_t shareMode, uint32_t creationDisposition,
                                               uint32_t flagsAndAttributes) override;
    // Removes a file and frees its clusters; directories and read-only files are refused.
    bool DeleteFileW(std::u16string_view path) override;

    // Why the last call failed, the WriteFile calls of its file handles included.
    const FatStatus& LastError() const { return *lastError_; }

  private:
    bool Report(FatStatus status);

    FatDriveAccess access_;
    std::shared_ptr<FatStatus> lastError_;  // shared with the handles, which may outlive this
};

}  // namespace tolven::linux_host
