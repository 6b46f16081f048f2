// The file calls of the content installer on the player's mounted volume. Windows: the system's
// FAT driver; Linux: the host's own FAT32 file layer over the formatted volume.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace tolven {

// CreateFileW arguments of the installer (winnt.h / winbase.h values).
inline constexpr uint32_t kFileGenericWrite = 0x40000000u;
inline constexpr uint32_t kCreateNew = 1;
inline constexpr uint32_t kFileAttributeNormal = 0x80u;

class IWritableFile {
  public:
    virtual ~IWritableFile() = default;
    // One synchronous WriteFile; bytesWritten tells how many bytes went out.
    virtual bool WriteFile(const std::byte* data, uint32_t byteCount, uint32_t& bytesWritten) = 0;
    // False when the close fails: data the system held back was then refused (a removed disk).
    // The destructor closes a handle left open.
    virtual bool CloseHandle() = 0;
};

class IPlayerFileSystem {
  public:
    virtual ~IPlayerFileSystem() = default;
    // One directory level, default security. False when it exists or cannot be made.
    virtual bool CreateDirectoryA(std::string_view path) = 0;
    // CreateFileW(path, access, shareMode, no security, disposition, attributes, no template);
    // null when the file cannot be created (CREATE_NEW fails on an existing name).
    virtual std::unique_ptr<IWritableFile> CreateFileW(std::u16string_view path, uint32_t desiredAccess,
                                                       uint32_t shareMode, uint32_t creationDisposition,
                                                       uint32_t flagsAndAttributes) = 0;
    virtual bool DeleteFileW(std::u16string_view path) = 0;
};

}  // namespace tolven
