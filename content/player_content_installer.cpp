#include "content/player_content_installer.h"

#include <limits>

#include "content/system_file_table.h"

namespace tolven {
namespace {

// One system file: create it (never over an existing one), write the whole block in one call,
// close it. A created file whose write failed or fell short, or whose close failed, is removed
// again.
bool WriteSystemFile(const SystemFileEntry& entry, const IContentStore& store,
                     IPlayerFileSystem& fileSystem) {
    const std::optional<ContentBlock> block = store.FindContentResource(entry.resourceId);
    if (!block || block->size() > std::numeric_limits<uint32_t>::max()) {
        return false;
    }
    const std::u16string path = SystemFilePath(entry);
    std::unique_ptr<IWritableFile> file =
        fileSystem.CreateFileW(path, kFileGenericWrite, 0, kCreateNew, kFileAttributeNormal);
    if (!file) {
        return false;  // an existing file of that name stays as it was
    }
    const auto byteCount = static_cast<uint32_t>(block->size());
    uint32_t bytesWritten = 0;
    const bool written = file->WriteFile(block->data(), byteCount, bytesWritten) && bytesWritten == byteCount;
    const bool closed = file->CloseHandle();
    file.reset();
    const bool wrote = written && closed;
    if (!wrote) {
        fileSystem.DeleteFileW(path);
    }
    return wrote;
}

}  // namespace

bool InstallPlayerContent(int32_t drive, std::u16string modelCode, const IContentStore& store,
                          IPlayerFileSystem& fileSystem) {
    for (const std::string& folder : PlayerFolderPaths(drive, modelCode)) {
        fileSystem.CreateDirectoryA(folder);  // an existing folder is as good as a new one
    }
    bool allWritten = true;
    for (const SystemFileEntry& entry : BuildSystemFileList(drive, modelCode)) {
        if (!WriteSystemFile(entry, store, fileSystem)) {
            allWritten = false;
        }
    }
    return allWritten;
}

}  // namespace tolven
