// How the scan turns the identification strings of a storage descriptor into the vendor and
// model texts it compares.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tolven {

// The most bytes of one identification string the scan takes.
inline constexpr std::size_t kIdentificationTextLimit = 512;

// Still 8-bit: the host widens them by its own rule (IStorageIdentification::WidenIdentification).
struct DeviceIdentificationTexts {
    uint32_t busType = 0;
    std::string vendor;   // blanks as '_', trailing '_' removed
    std::string product;  // first word only
};

// Reads the bus type and the two texts from the bytes the device returned, never past them.
DeviceIdentificationTexts ReadDeviceIdentification(std::span<const std::byte> returned);

// Vendor text: blanks become '_', then every '_' at the end goes, whether it was a blank or not.
std::string NormalizeVendorId(std::string vendorId);

// Product text: up to the first blank, which is not kept.
std::string FirstWordOfProductId(const std::string& productId);

// a..z to A..Z in place; nothing else changes.
void UpperCaseAscii(std::u16string& text);

}  // namespace tolven
