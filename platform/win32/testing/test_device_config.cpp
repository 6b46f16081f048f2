// Win32 platform layer, test build only: the stand-in player's configuration and decorators.
#include "platform/win32/testing/test_device_config.h"

#include <algorithm>
#include <charconv>

#include "base/little_endian.h"

namespace tolven::win32::testing {

namespace {

template <typename Number>
bool ParseNumber(std::string_view text, Number& value) {
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return !text.empty() && result.ec == std::errc() && result.ptr == end;
}

class ConfiguredStorageDevice final : public IStorageDevice {
  public:
    explicit ConfiguredStorageDevice(const TestDeviceConfig& config) : config_(config) {}
    bool QueryStorageDeviceDescriptor(std::byte* buffer, uint32_t bufferSize,
                                      uint32_t& bytesReturned) override {
        const auto descriptor =
            BuildStorageDeviceDescriptor(config_.vendor, config_.product, kBusTypeUsb, bufferSize);
        std::copy(descriptor.begin(), descriptor.end(), buffer);
        bytesReturned = static_cast<uint32_t>(descriptor.size());
        return true;
    }

  private:
    TestDeviceConfig config_;
};

class ConfiguredVolume final : public IVolume {
  public:
    ConfiguredVolume(const TestDeviceConfig& config, std::unique_ptr<IVolume> volume)
        : config_(config), volume_(std::move(volume)) {}
    bool LockVolume() override { return volume_->LockVolume(); }
    bool GetDriveGeometry(DiskGeometry& geometry) override {
        if (!config_.answerDiskQueries) {
            return volume_->GetDriveGeometry(geometry);
        }
        geometry = config_.geometry;
        return true;
    }
    bool GetPartitionInfo(PartitionInformation& info) override {
        if (!config_.answerDiskQueries) {
            return volume_->GetPartitionInfo(info);
        }
        info = PartitionInformation{};
        info.PartitionLength = config_.partitionLength;
        info.HiddenSectors = config_.hiddenSectors;
        info.StartingOffset = static_cast<int64_t>(config_.hiddenSectors) * config_.geometry.BytesPerSector;
        info.PartitionNumber = 1;
        info.RecognizedPartition = true;
        return true;
    }
    // A disk image has no partition table and no mounted file system to release.
    bool SetPartitionType(uint8_t partitionType) override {
        return config_.answerDiskQueries || volume_->SetPartitionType(partitionType);
    }
    bool DismountVolume() override { return config_.answerDiskQueries || volume_->DismountVolume(); }
    bool UnlockVolume() override { return volume_->UnlockVolume(); }
    bool WriteFileAt(uint64_t byteOffset, const std::byte* data, uint32_t byteCount,
                     uint32_t& bytesWritten) override {
        return volume_->WriteFileAt(byteOffset, data, byteCount, bytesWritten);
    }
    bool WriteAt(uint64_t byteOffset, const std::byte* data, uint32_t byteCount) override {
        return volume_->WriteAt(byteOffset, data, byteCount);
    }
    void CloseHandle() override { volume_->CloseHandle(); }

  private:
    TestDeviceConfig config_;
    std::unique_ptr<IVolume> volume_;
};

}  // namespace

ParsedTestDeviceConfig ParseTestDeviceConfig(std::string_view text) {
    TestDeviceConfig config;
    config.geometry.BytesPerSector = 512;
    bool haveLength = false;
    while (!text.empty()) {
        const std::size_t end = text.find(';');
        const std::string_view item = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (item.empty()) {
            continue;
        }
        const std::size_t equals = item.find('=');
        if (equals == std::string_view::npos) {
            return {std::nullopt, "expected key=value: " + std::string(item)};
        }
        const std::string_view key = item.substr(0, equals);
        const std::string_view value = item.substr(equals + 1);
        bool ok = true;
        if (key == "drive") {
            ok = value.size() == 1 &&
                 ((value[0] >= 'A' && value[0] <= 'Z') || (value[0] >= 'a' && value[0] <= 'z'));
            if (ok) {
                config.driveLetter = static_cast<char>(value[0] & ~0x20);
            }
        } else if (key == "vendor") {
            config.vendor = value;
        } else if (key == "product") {
            config.product = value;
        } else if (key == "bytesPerSector") {
            ok = ParseNumber(value, config.geometry.BytesPerSector);
        } else if (key == "sectorsPerTrack") {
            ok = ParseNumber(value, config.geometry.SectorsPerTrack);
        } else if (key == "tracksPerCylinder") {
            ok = ParseNumber(value, config.geometry.TracksPerCylinder);
        } else if (key == "cylinders") {
            ok = ParseNumber(value, config.geometry.Cylinders);
        } else if (key == "partitionLength") {
            ok = ParseNumber(value, config.partitionLength) && config.partitionLength >= 0;
            haveLength = ok;
        } else if (key == "diskQueries") {
            ok = value == "configured" || value == "system";
            config.answerDiskQueries = value != "system";
        } else if (key == "hiddenSectors") {
            ok = ParseNumber(value, config.hiddenSectors);
        } else {
            return {std::nullopt, "unknown key: " + std::string(key)};
        }
        if (!ok) {
            return {std::nullopt, "bad value for " + std::string(key) + ": " + std::string(value)};
        }
    }
    if (config.driveLetter == 0) {
        return {std::nullopt, "drive is required"};
    }
    if (!haveLength) {
        return {std::nullopt, "partitionLength is required"};
    }
    return {config, {}};
}

std::vector<std::byte> BuildStorageDeviceDescriptor(std::string_view vendor, std::string_view product,
                                                    uint32_t busType, uint32_t bufferSize) {
    // Fixed part: Version, Size, DeviceType .. CommandQueueing, the four string offsets, BusType,
    // RawPropertiesLength, then the raw-properties byte; the strings follow, NUL-terminated.
    constexpr std::size_t kFixedSize = 40;
    const std::size_t vendorOffset = kFixedSize;
    const std::size_t productOffset = vendorOffset + vendor.size() + 1;
    const std::size_t total = productOffset + product.size() + 1;
    std::vector<std::byte> descriptor(total, std::byte{0});
    StoreLe32(&descriptor[0], static_cast<uint32_t>(kFixedSize));
    StoreLe32(&descriptor[4], static_cast<uint32_t>(total));
    descriptor[10] = std::byte{1};  // RemovableMedia
    StoreLe32(&descriptor[12], static_cast<uint32_t>(vendorOffset));
    StoreLe32(&descriptor[16], static_cast<uint32_t>(productOffset));
    StoreLe32(&descriptor[28], busType);
    for (std::size_t i = 0; i < vendor.size(); ++i) {
        descriptor[vendorOffset + i] = static_cast<std::byte>(vendor[i]);
    }
    for (std::size_t i = 0; i < product.size(); ++i) {
        descriptor[productOffset + i] = static_cast<std::byte>(product[i]);
    }
    if (descriptor.size() > bufferSize) {
        descriptor.resize(bufferSize);
    }
    return descriptor;
}

char DriveLetterOfPath(std::u16string_view path) {
    std::size_t colon = path.find(u':');
    if (colon == std::u16string_view::npos || colon == 0) {
        return 0;
    }
    const char16_t letter = path[colon - 1];
    if (letter >= u'a' && letter <= u'z') {
        return static_cast<char>(letter - u'a' + 'A');
    }
    if (letter >= u'A' && letter <= u'Z') {
        return static_cast<char>(letter);
    }
    return 0;
}

uint32_t ConfiguredStorageIdentification::GetDriveTypeW(std::u16string_view rootPath) {
    if (DriveLetterOfPath(rootPath) == config_.driveLetter) {
        return kDriveRemovable;
    }
    return system_.GetDriveTypeW(rootPath);
}

std::unique_ptr<IStorageDevice> ConfiguredStorageIdentification::OpenStorageDevice(
    std::u16string_view volumePath) {
    if (DriveLetterOfPath(volumePath) == config_.driveLetter) {
        return std::make_unique<ConfiguredStorageDevice>(config_);
    }
    return system_.OpenStorageDevice(volumePath);
}

std::unique_ptr<IVolume> ConfiguredVolumeSystem::CreateFileW(std::u16string_view path, uint32_t desiredAccess,
                                                             uint32_t shareMode,
                                                             uint32_t flagsAndAttributes) {
    auto volume = system_.CreateFileW(path, desiredAccess, shareMode, flagsAndAttributes);
    if (volume == nullptr || DriveLetterOfPath(path) != config_.driveLetter) {
        return volume;
    }
    return std::make_unique<ConfiguredVolume>(config_, std::move(volume));
}

}  // namespace tolven::win32::testing
