#include "device/device_identification.h"

#include "device/storage_descriptor.h"

namespace tolven {

std::string NormalizeVendorId(std::string vendorId) {
    for (char& c : vendorId) {
        if (c == ' ') {
            c = '_';
        }
    }
    while (!vendorId.empty() && vendorId.back() == '_') {
        vendorId.pop_back();
    }
    return vendorId;
}

std::string FirstWordOfProductId(const std::string& productId) {
    return productId.substr(0, productId.find(' '));
}

void UpperCaseAscii(std::u16string& text) {
    for (char16_t& c : text) {
        if (c >= u'a' && c <= u'z') {
            c = static_cast<char16_t>(c - u'a' + u'A');
        }
    }
}

DeviceIdentificationTexts ReadDeviceIdentification(std::span<const std::byte> returned) {
    DeviceIdentificationTexts texts;
    texts.busType = ReadDescriptorField(returned, kDescriptorBusTypeAt);
    const uint32_t vendorOffset = ReadDescriptorField(returned, kDescriptorVendorIdOffsetAt);
    const uint32_t productOffset = ReadDescriptorField(returned, kDescriptorProductIdOffsetAt);
    texts.vendor = NormalizeVendorId(ReadDescriptorString(returned, vendorOffset, kIdentificationTextLimit));
    texts.product =
        FirstWordOfProductId(ReadDescriptorString(returned, productOffset, kIdentificationTextLimit));
    return texts;
}

}  // namespace tolven
