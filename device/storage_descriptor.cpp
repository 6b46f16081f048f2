#include "device/storage_descriptor.h"

#include <algorithm>

#include "base/little_endian.h"

namespace tolven {

namespace {

void PutByte(std::vector<std::byte>& out, uint32_t at, uint8_t value) {
    out[at] = std::byte{value};
}

// Appends text and its NUL at the end of out; returns the offset it starts at.
uint32_t AppendString(std::vector<std::byte>& out, std::string_view text) {
    const auto offset = static_cast<uint32_t>(out.size());
    for (char c : text) {
        out.push_back(std::byte{static_cast<uint8_t>(c)});
    }
    out.push_back(std::byte{0});
    return offset;
}

}  // namespace

uint32_t ReadDescriptorField(std::span<const std::byte> returned, uint32_t at) {
    if (returned.size() < 4 || at > returned.size() - 4) {
        return 0;
    }
    return LoadLe32(&returned[at]);
}

std::string ReadDescriptorString(std::span<const std::byte> returned, uint32_t offset,
                                 std::size_t maxLength) {
    std::string text;
    if (offset == 0 || offset >= returned.size()) {
        return text;
    }
    const std::size_t end = offset + std::min(maxLength, returned.size() - offset);
    for (std::size_t i = offset; i < end; ++i) {
        const auto byte = std::to_integer<uint8_t>(returned[i]);
        if (byte == 0) {
            break;
        }
        text.push_back(static_cast<char>(byte));
    }
    return text;
}

std::vector<std::byte> BuildStorageDeviceDescriptor(const StorageDeviceIdentity& identity, uint32_t maxSize) {
    maxSize = std::max(maxSize, kDescriptorHeaderSize);
    std::vector<std::byte> out(kDescriptorHeaderSize, std::byte{0});
    // A string goes in only with its NUL; what does not fit is cut, vendor first.
    auto place = [&out, maxSize](std::string_view text) -> uint32_t {
        const std::size_t room = maxSize - out.size();
        if (room == 0) {
            return 0;
        }
        return AppendString(out, text.substr(0, std::min(text.size(), room - 1)));
    };
    const uint32_t vendorOffset = place(identity.vendorId);
    const uint32_t productOffset = place(identity.productId);

    StoreLe32(&out[kDescriptorVersionAt], kDescriptorHeaderSize);
    StoreLe32(&out[kDescriptorSizeAt], static_cast<uint32_t>(out.size()));
    PutByte(out, kDescriptorDeviceTypeAt, 0);  // direct-access block device
    PutByte(out, kDescriptorDeviceTypeModifierAt, 0);
    PutByte(out, kDescriptorRemovableMediaAt, identity.removableMedia ? 1 : 0);
    PutByte(out, kDescriptorCommandQueueingAt, 0);
    StoreLe32(&out[kDescriptorVendorIdOffsetAt], vendorOffset);
    StoreLe32(&out[kDescriptorProductIdOffsetAt], productOffset);
    StoreLe32(&out[kDescriptorProductRevisionOffsetAt], 0);
    StoreLe32(&out[kDescriptorSerialNumberOffsetAt], 0);
    StoreLe32(&out[kDescriptorBusTypeAt], identity.busType);
    StoreLe32(&out[kDescriptorRawPropertiesLengthAt], 0);
    return out;
}

}  // namespace tolven
