// Feeds arbitrary descriptors to the scan. Input: two bytes (little-endian) of the byte count the
// device claims to have returned, then the bytes it writes into the descriptor buffer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "base/widen_text.h"
#include "device/device_identification.h"
#include "device/player_drive_info.h"
#include "device/storage_identification.h"

namespace {

using namespace tolven;

class ScriptedDevice : public IStorageDevice {
  public:
    ScriptedDevice(const uint8_t* data, std::size_t size, uint32_t claimed)
        : data_(data), size_(size), claimed_(claimed) {}
    bool QueryStorageDeviceDescriptor(std::byte* buffer, uint32_t bufferSize,
                                      uint32_t& bytesReturned) override {
        std::memcpy(buffer, data_, std::min<std::size_t>(size_, bufferSize));
        bytesReturned = claimed_;
        return true;
    }

  private:
    const uint8_t* data_;
    std::size_t size_;
    uint32_t claimed_;
};

class OneDrive : public IStorageIdentification, public IEnableableButton {
  public:
    OneDrive(const uint8_t* data, std::size_t size, uint32_t claimed)
        : data_(data), size_(size), claimed_(claimed) {}
    uint32_t GetDriveTypeW(std::u16string_view rootPath) override {
        return rootPath[0] == u'E' ? kDriveRemovable : kDriveNoRootDir;
    }
    std::unique_ptr<IStorageDevice> OpenStorageDevice(std::u16string_view) override {
        return std::make_unique<ScriptedDevice>(data_, size_, claimed_);
    }
    std::u16string WidenIdentification(std::string_view text) override { return WidenByteForByte(text); }
    void EnableWindow(bool) override {}

  private:
    const uint8_t* data_;
    std::size_t size_;
    uint32_t claimed_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const uint32_t claimed = data[0] | (static_cast<uint32_t>(data[1]) << 8);
    data += 2;
    size -= 2;

    // The readers on exactly the returned bytes: the sanitizer sees any read past them.
    const std::size_t returned =
        std::min<std::size_t>({std::size_t{claimed}, size, std::size_t{kStorageDescriptorBufferSize}});
    std::unique_ptr<std::byte[]> exact(new std::byte[returned]);
    std::memcpy(exact.get(), data, returned);
    const DeviceIdentificationTexts texts = ReadDeviceIdentification({exact.get(), returned});
    if (texts.vendor.size() > kIdentificationTextLimit || texts.product.size() > kIdentificationTextLimit ||
        texts.product.find(' ') != std::string::npos ||
        (!texts.vendor.empty() && texts.vendor.back() == '_')) {
        __builtin_trap();
    }

    // The whole scan over one drive at E:.
    OneDrive drive(data, size, claimed);
    CPlayerDriveInfo record;
    const int32_t result = record.ScanForPlayer(drive, drive);
    if (result != kDriveNoPlayer && !(result == 'E' && record.m_strVendor == u"TOLVEN")) {
        __builtin_trap();
    }
    return 0;
}
