// Linux tests: pread/pwrite on an image file.
#include "tests/linux/fatfs/image_file_device.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tolven::testing {

namespace {

class ImageFileDevice : public linux_host::IBlockDevice {
  public:
    ImageFileDevice(int fd, uint64_t bytes) : fd_(fd), bytes_(bytes) {}
    ~ImageFileDevice() override { close(fd_); }
    uint32_t SectorSize() const override { return 512; }
    uint64_t SectorCount() const override { return bytes_ / 512; }
    bool Read(uint64_t offset, std::byte* data, std::size_t count) override {
        while (count > 0) {
            const ssize_t n = pread(fd_, data, count, static_cast<off_t>(offset));
            if (n <= 0) {
                return false;
            }
            data += n;
            offset += static_cast<uint64_t>(n);
            count -= static_cast<std::size_t>(n);
        }
        return true;
    }
    bool Write(uint64_t offset, const std::byte* data, std::size_t count) override {
        if (offset + count > bytes_) {
            return false;
        }
        while (count > 0) {
            const ssize_t n = pwrite(fd_, data, count, static_cast<off_t>(offset));
            if (n <= 0) {
                return false;
            }
            data += n;
            offset += static_cast<uint64_t>(n);
            count -= static_cast<std::size_t>(n);
        }
        return true;
    }
    // The tests read the image back through the same page cache: no need to wait for the disk.
    bool Flush() override { return true; }

  private:
    int fd_;
    uint64_t bytes_;
};

}  // namespace

std::unique_ptr<linux_host::IBlockDevice> OpenImageFile(const std::string& path) {
    const int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0) {
        close(fd);
        return nullptr;
    }
    return std::make_unique<ImageFileDevice>(fd, static_cast<uint64_t>(info.st_size));
}

}  // namespace tolven::testing
