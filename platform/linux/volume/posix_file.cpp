// Linux host: POSIX file helpers shared by the volume and block-device implementations.
#include "platform/linux/volume/posix_file.h"

#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tolven::linux_host {

void UniqueFd::Reset(int fd) {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    fd_ = fd;
}

AlignedBuffer MakeAlignedBuffer(std::size_t byteCount) {
    auto* p = static_cast<std::byte*>(::operator new[](byteCount, std::align_val_t(kDirectIoAlignment)));
    std::memset(p, 0, byteCount);
    return AlignedBuffer(p);
}

int ReadFully(int fd, std::byte* data, std::size_t byteCount, uint64_t offset, std::size_t& bytesRead) {
    bytesRead = 0;
    while (bytesRead < byteCount) {
        const ssize_t n =
            ::pread(fd, data + bytesRead, byteCount - bytesRead, static_cast<off_t>(offset + bytesRead));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (n == 0) {
            break;  // end of file
        }
        bytesRead += static_cast<std::size_t>(n);
    }
    return 0;
}

int DescriptorLength(int fd, uint64_t& length) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        return errno;
    }
    if (S_ISBLK(st.st_mode)) {
        return ::ioctl(fd, BLKGETSIZE64, &length) == 0 ? 0 : errno;
    }
    if (!S_ISREG(st.st_mode)) {
        return ENODEV;
    }
    length = static_cast<uint64_t>(st.st_size);
    return 0;
}

bool AllZero(const std::byte* data, std::size_t count) {
    return count == 0 || (data[0] == std::byte{0} && std::memcmp(data, data + 1, count - 1) == 0);
}

int WriteFully(int fd, const std::byte* data, std::size_t byteCount, uint64_t offset) {
    std::size_t written = 0;
    while (written < byteCount) {
        const ssize_t n =
            ::pwrite(fd, data + written, byteCount - written, static_cast<off_t>(offset + written));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (n == 0) {
            return EIO;  // a device that accepts nothing more
        }
        written += static_cast<std::size_t>(n);
    }
    return 0;
}

}  // namespace tolven::linux_host
