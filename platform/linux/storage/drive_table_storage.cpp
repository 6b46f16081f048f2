// Linux host: the drive targets opened for the storage query, through the run's table of targets.
#include "platform/linux/storage/drive_table_storage.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/widen_text.h"
#include "device/device_identification.h"
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
    OpenedTarget(std::shared_ptr<OpenTarget> target, std::vector<std::byte> descriptor)
        : target_(std::move(target)), descriptor_(std::move(descriptor)) {}

    // Like the Windows query, a buffer shorter than the descriptor gets its first bytes.
    bool QueryStorageDeviceDescriptor(std::byte* buffer, uint32_t bufferSize,
                                      uint32_t& bytesReturned) override {
        const auto count = static_cast<uint32_t>(std::min<std::size_t>(descriptor_.size(), bufferSize));
        std::memcpy(buffer, descriptor_.data(), count);
        bytesReturned = count;
        return true;
    }

  private:
    std::shared_ptr<OpenTarget> target_;
    std::vector<std::byte> descriptor_;
};

}  // namespace

DriveTableStorage::DriveTableStorage(const DriveTable& table)
    : ownTargets_(std::make_unique<TargetTable>(table)), targets_(*ownTargets_) {}

uint32_t DriveTableStorage::GetDriveTypeW(std::u16string_view rootPath) {
    const char letter = LetterOfRootPath(rootPath);
    const DriveTarget* target = letter != 0 ? targets_.Drives().Find(letter) : nullptr;
    return target != nullptr ? target->driveType : kDriveNoRootDir;
}

std::unique_ptr<IStorageDevice> DriveTableStorage::OpenStorageDevice(std::u16string_view volumePath) {
    const char letter = LetterOfVolumePath(volumePath);
    const DriveTarget* target = letter != 0 ? targets_.Drives().Find(letter) : nullptr;
    if (target == nullptr) {
        return nullptr;
    }
    TargetOpen opened = targets_.Open(letter);
    if (opened.target == nullptr) {
        return nullptr;
    }
    StorageDeviceIdentity identity;
    identity.busType = target->busType;
    identity.removableMedia = target->driveType == kDriveRemovable;
    identity.vendorId = target->vendorId;
    identity.productId = target->productId;
    return std::make_unique<OpenedTarget>(
        std::move(opened.target), BuildStorageDeviceDescriptor(identity, kStorageDescriptorBufferSize));
}

std::u16string DriveTableStorage::WidenIdentification(std::string_view text) {
    return WidenByteForByte(text);
}

}  // namespace tolven::linux_host
