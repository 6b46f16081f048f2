// How the scan turns the identification strings of a storage descriptor into the vendor and
// model texts it compares.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace tolven {

// The most bytes of one identification string the scan takes.
inline constexpr std::size_t kIdentificationTextLimit = 512;

struct DeviceIdentificationTexts {
    uint32_t busType = 0;
    std::u16string vendor;   // blanks as '_', trailing '_' removed
    std::u16string product;  // first word only
};

// Reads the bus type and the two texts from the bytes the device returned, never past them.
DeviceIdentificationTexts ReadDeviceIdentification(std::span<const std::byte> returned);

// Vendor text: blanks become '_', then every '_' at the end goes, whether it was a blank or not.
std::string NormalizeVendorId(std::string vendorId);

// Product text: up to the first blank, which is not kept.
std::string FirstWordOfProductId(const std::string& productId);

// 8-bit identification bytes to UTF-16, byte for byte (ASCII and Latin-1). Device identifications
// are ASCII in practice, so this gives the same text whatever the system's code page is.
std::u16string WidenIdentification(const std::string& text);

// a..z to A..Z in place; nothing else changes.
void UpperCaseAscii(std::u16string& text);

}  // namespace tolven
