#include "device/player_drive_info.h"

#include <algorithm>
#include <array>
#include <span>

#include "device/device_identification.h"
#include "device/disk_model_table.h"

namespace tolven {

namespace {

constexpr char16_t kPlayerVendor[] = u"TOLVEN";

std::u16string RootPath(char16_t letter) {
    return {letter, u':', u'\\'};
}

std::u16string VolumePath(char16_t letter) {
    return {u'\\', u'\\', u'?', u'\\', letter, u':'};
}

}  // namespace

int32_t CPlayerDriveInfo::ScanForPlayer(IStorageIdentification& storage, IEnableableButton& formatButton) {
    int32_t found = kDriveNoPlayer;
    for (char16_t letter = u'A'; letter <= u'Z' && found == kDriveNoPlayer; ++letter) {
        const uint32_t driveType = storage.GetDriveTypeW(RootPath(letter));
        if (driveType != kDriveRemovable && driveType != kDriveFixed) {
            continue;  // unknown, no root, remote, CD-ROM and RAM drives are never opened
        }
        std::unique_ptr<IStorageDevice> device = storage.OpenStorageDevice(VolumePath(letter));
        if (!device) {
            continue;
        }
        // Each letter starts from a fresh, zeroed buffer: nothing of an earlier drive shows through.
        std::array<std::byte, kStorageDescriptorBufferSize> buffer{};
        uint32_t bytesReturned = 0;
        if (!device->QueryStorageDeviceDescriptor(buffer.data(), kStorageDescriptorBufferSize,
                                                  bytesReturned)) {
            continue;
        }
        // Only what the device returned is read, and never more than the buffer holds.
        const std::span<const std::byte> returned(
            buffer.data(), std::min<uint32_t>(bytesReturned, kStorageDescriptorBufferSize));
        const DeviceIdentificationTexts texts = ReadDeviceIdentification(returned);
        if (texts.busType != kBusTypeUsb) {
            continue;
        }
        m_strVendor = storage.WidenIdentification(texts.vendor);
        m_strModel = storage.WidenIdentification(texts.product);
        LookupDiskModel(m_strVendor, m_strModel);
        UpperCaseAscii(m_strVendor);
        if (m_strVendor == kPlayerVendor) {
            m_strRoot = RootPath(letter);
            found = letter;
        }
    }  // the device closes at the end of each letter, before the next is tried
    formatButton.EnableWindow(found != kDriveNoPlayer);
    return found;
}

}  // namespace tolven
