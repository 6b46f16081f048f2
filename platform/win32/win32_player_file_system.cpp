// Win32 platform layer: the content installer's folder and file calls.
#include "platform/win32/win32_player_file_system.h"

#include <string>

#include "platform/win32/win32_text.h"

namespace tolven::win32 {

Win32WritableFile::~Win32WritableFile() {
    CloseHandle();
}

bool Win32WritableFile::WriteFile(const std::byte* data, uint32_t byteCount, uint32_t& bytesWritten) {
    DWORD written = 0;
    const BOOL ok = ::WriteFile(handle_, data, byteCount, &written, nullptr);
    bytesWritten = written;
    return ok != 0;
}

bool Win32WritableFile::CloseHandle() {
    if (handle_ == INVALID_HANDLE_VALUE) {
        return true;
    }
    // Written data may still be cached; the close is where a removed disk refuses it.
    const BOOL ok = ::CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return ok != 0;
}

bool Win32PlayerFileSystem::CreateDirectoryA(std::string_view path) {
    const std::string terminated(path);
    return ::CreateDirectoryA(terminated.c_str(), nullptr) != 0;
}

std::unique_ptr<IWritableFile> Win32PlayerFileSystem::CreateFileW(std::u16string_view path,
                                                                  uint32_t desiredAccess, uint32_t shareMode,
                                                                  uint32_t creationDisposition,
                                                                  uint32_t flagsAndAttributes) {
    HANDLE handle = ::CreateFileW(ToWide(path).c_str(), desiredAccess, shareMode, nullptr,
                                  creationDisposition, flagsAndAttributes, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    return std::make_unique<Win32WritableFile>(handle);
}

bool Win32PlayerFileSystem::DeleteFileW(std::u16string_view path) {
    return ::DeleteFileW(ToWide(path).c_str()) != 0;
}

}  // namespace tolven::win32
