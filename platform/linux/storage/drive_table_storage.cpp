// Linux host: POSIX open/close of the drive targets for the storage query.
#include "platform/linux/storage/drive_table_storage.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "device/storage_descriptor.h"

namespace tolven::linux_host {

namespace {

// "X:\" to X; 0 for anything else.
char LetterOfRootPath(std::u16string_view path) {
    if (path.size() == 3 && path[1] == u':' && path[2] == u'\\') {
        return DriveLetterOf(path[0]);
    }
    return 0;
}

// "\\?\X:" to X; 0 for anything else.
char LetterOfVolumePath(std::u16string_view path) {
    if (path.size() == 6 && path.substr(0, 4) == u"\\\\?\\" && path[5] == u':') {
        return DriveLetterOf(path[4]);
    }
    return 0;
}

class OpenedTarget : public IStorageDevice {
  public:
    OpenedTarget(int fd, std::vector<std::byte> descriptor) : fd_(fd), descriptor_(std::move(descriptor)) {}
    ~OpenedTarget() override { ::close(fd_); }
    OpenedTarget(const OpenedTarget&) = delete;
    OpenedTarget& operator=(const OpenedTarget&) = delete;

    // Like the Windows query, a buffer shorter than the descriptor gets its first bytes.
    bool QueryStorageDeviceDescriptor(std::byte* buffer, uint32_t bufferSize,
                                      uint32_t& bytesReturned) override {
        const auto count = static_cast<uint32_t>(std::min<std::size_t>(descriptor_.size(), bufferSize));
        std::memcpy(buffer, descriptor_.data(), count);
        bytesReturned = count;
        return true;
    }

  private:
    int fd_;
    std::vector<std::byte> descriptor_;
};

}  // namespace

uint32_t DriveTableStorage::GetDriveTypeW(std::u16string_view rootPath) {
    const char letter = LetterOfRootPath(rootPath);
    const DriveTarget* target = letter != 0 ? table_.Find(letter) : nullptr;
    return target != nullptr ? target->driveType : kDriveNoRootDir;
}

std::unique_ptr<IStorageDevice> DriveTableStorage::OpenStorageDevice(std::u16string_view volumePath) {
    const char letter = LetterOfVolumePath(volumePath);
    const DriveTarget* target = letter != 0 ? table_.Find(letter) : nullptr;
    if (target == nullptr) {
        return nullptr;
    }
    const int fd = ::open(target->path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    StorageDeviceIdentity identity;
    identity.busType = target->busType;
    identity.removableMedia = target->driveType == kDriveRemovable;
    identity.vendorId = target->vendorId;
    identity.productId = target->productId;
    return std::make_unique<OpenedTarget>(
        fd, BuildStorageDeviceDescriptor(identity, kStorageDescriptorBufferSize));
}

}  // namespace tolven::linux_host
