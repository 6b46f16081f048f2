// A block of pages from the platform's page allocator (page-aligned and zero-filled, as
// unbuffered volume writes need), given back when it goes out of scope on every path.
#pragma once

#include <cstddef>
#include <span>

#include "fat32/volume_access.h"

namespace tolven {

class PageBuffer {
  public:
    PageBuffer(IPageAllocator& allocator, std::size_t byteCount)
        : allocator_(allocator), byteCount_(byteCount), pages_(allocator.AllocatePages(byteCount)) {}
    ~PageBuffer() {
        if (pages_ != nullptr) {
            allocator_.FreePages(pages_, byteCount_);
        }
    }
    PageBuffer(const PageBuffer&) = delete;
    PageBuffer& operator=(const PageBuffer&) = delete;

    bool Allocated() const { return pages_ != nullptr; }
    std::byte* data() const { return pages_; }
    std::size_t size() const { return byteCount_; }
    std::span<std::byte> bytes() const { return {pages_, pages_ != nullptr ? byteCount_ : 0}; }

  private:
    IPageAllocator& allocator_;
    std::size_t byteCount_;
    std::byte* pages_;
};

}  // namespace tolven
