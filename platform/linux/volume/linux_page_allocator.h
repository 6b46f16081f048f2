// Linux host: the formatter's page allocator (anonymous mappings: page-aligned, zero-filled).
#pragma once

#include "fat32/volume_access.h"

namespace tolven::linux_host {

class LinuxPageAllocator final : public IPageAllocator {
  public:
    std::byte* AllocatePages(std::size_t byteCount) override;  // null for 0 bytes or no memory
    void FreePages(std::byte* pages, std::size_t byteCount) override;
};

}  // namespace tolven::linux_host
