// The eighteen read-only content blocks the program carries (the font and the screen images),
// looked up by their 16-bit id. Windows keeps them as "DATA" resources, Linux links them into the
// program image; either way the bytes are handed out in place, never copied.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace tolven {

using ContentBlock = std::span<const std::byte>;

class IContentStore {
  public:
    virtual ~IContentStore() = default;
    // The block's bytes, valid for the life of the process, or nothing for an unknown id.
    virtual std::optional<ContentBlock> FindContentResource(uint16_t id) const = 0;
};

}  // namespace tolven
