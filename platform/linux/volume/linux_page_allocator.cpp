// Linux host: page allocation with mmap/munmap.
#include "platform/linux/volume/linux_page_allocator.h"

#include <sys/mman.h>

namespace tolven::linux_host {

std::byte* LinuxPageAllocator::AllocatePages(std::size_t byteCount) {
    if (byteCount == 0) {
        return nullptr;
    }
    void* pages = ::mmap(nullptr, byteCount, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return pages == MAP_FAILED ? nullptr : static_cast<std::byte*>(pages);
}

void LinuxPageAllocator::FreePages(std::byte* pages, std::size_t byteCount) {
    if (pages != nullptr && byteCount != 0) {
        ::munmap(pages, byteCount);
    }
}

}  // namespace tolven::linux_host
