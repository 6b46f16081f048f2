// Linux host: the content store over the blocks linked into the program image.
#pragma once

#include <cstdint>
#include <optional>

#include "content/content_store.h"

namespace tolven::linux_host {

// The eighteen blocks as this program carries them in its read-only data; gives the same answers
// for the same ids as the Windows program's "DATA" resources. Nothing is read or copied at run time.
class LinkedContentStore final : public IContentStore {
  public:
    std::optional<ContentBlock> FindContentResource(uint16_t id) const override;
};

}  // namespace tolven::linux_host
