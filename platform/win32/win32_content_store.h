// Win32 platform layer: the content blocks as "DATA" resources of a module (FindResourceW,
// LoadResource, SizeofResource, LockResource).
#pragma once

#include <windows.h>

#include "content/content_store.h"

namespace tolven::win32 {

class Win32ContentStore final : public IContentStore {
  public:
    // module: the program's own instance handle, or a module loaded as a data file.
    explicit Win32ContentStore(HMODULE module) : module_(module) {}
    std::optional<ContentBlock> FindContentResource(uint16_t id) const override;

  private:
    HMODULE module_;
};

}  // namespace tolven::win32
