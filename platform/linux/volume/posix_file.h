// Linux host: a file descriptor that closes itself, sector buffers aligned for O_DIRECT, and
// positioned reads and writes that finish the whole transfer (or report errno).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <utility>

namespace tolven::linux_host {

class UniqueFd {
  public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            Reset(std::exchange(other.fd_, -1));
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { Reset(); }

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    void Reset(int fd = -1);

  private:
    int fd_ = -1;
};

// Page alignment satisfies every O_DIRECT alignment rule the kernel has for memory.
inline constexpr std::size_t kDirectIoAlignment = 4096;

struct AlignedDelete {
    void operator()(std::byte* p) const { ::operator delete[](p, std::align_val_t(kDirectIoAlignment)); }
};
using AlignedBuffer = std::unique_ptr<std::byte[], AlignedDelete>;

// A zero-filled buffer of byteCount bytes at a page-aligned address.
AlignedBuffer MakeAlignedBuffer(std::size_t byteCount);

// Both return 0 or errno. ReadFully stops early only at the end of the file (bytesRead tells).
int ReadFully(int fd, std::byte* data, std::size_t byteCount, uint64_t offset, std::size_t& bytesRead);
int WriteFully(int fd, const std::byte* data, std::size_t byteCount, uint64_t offset);

// The length in bytes of what `fd` addresses: a regular file's size, a block device's capacity.
// Returns 0, errno, or ENODEV for anything else.
int DescriptorLength(int fd, uint64_t& length);

// Whether every byte is zero: such a write to an image becomes a hole.
bool AllZero(const std::byte* data, std::size_t count);

}  // namespace tolven::linux_host
