// Win32 platform layer: folders and files on the player's mounted volume (CreateDirectoryA,
// CreateFileW, WriteFile, CloseHandle, DeleteFileW), through the system's FAT driver.
#pragma once

#include <windows.h>

#include "content/player_file_system.h"

namespace tolven::win32 {

class Win32WritableFile final : public IWritableFile {
  public:
    explicit Win32WritableFile(HANDLE handle) : handle_(handle) {}
    ~Win32WritableFile() override;
    Win32WritableFile(const Win32WritableFile&) = delete;
    Win32WritableFile& operator=(const Win32WritableFile&) = delete;

    bool WriteFile(const std::byte* data, uint32_t byteCount, uint32_t& bytesWritten) override;
    bool CloseHandle() override;

  private:
    HANDLE handle_;
};

class Win32PlayerFileSystem final : public IPlayerFileSystem {
  public:
    bool CreateDirectoryA(std::string_view path) override;
    std::unique_ptr<IWritableFile> CreateFileW(std::u16string_view path, uint32_t desiredAccess,
                                               uint32_t shareMode, uint32_t creationDisposition,
                                               uint32_t flagsAndAttributes) override;
    bool DeleteFileW(std::u16string_view path) override;
};

}  // namespace tolven::win32
