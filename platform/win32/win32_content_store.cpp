// Win32 platform layer: lookup of the content blocks among the module's resources.
#include "platform/win32/win32_content_store.h"

namespace tolven::win32 {

std::optional<ContentBlock> Win32ContentStore::FindContentResource(uint16_t id) const {
    // An integer resource name, so that "DATA" 137 is found whatever its language.
    HRSRC found = FindResourceW(module_, MAKEINTRESOURCEW(id), L"DATA");
    if (found == nullptr) {
        return std::nullopt;
    }
    HGLOBAL loaded = LoadResource(module_, found);
    if (loaded == nullptr) {
        return std::nullopt;
    }
    const DWORD size = SizeofResource(module_, found);
    const void* bytes = LockResource(loaded);
    if (bytes == nullptr) {
        return std::nullopt;
    }
    return ContentBlock(static_cast<const std::byte*>(bytes), size);
}

}  // namespace tolven::win32
