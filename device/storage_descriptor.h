// The STORAGE_DEVICE_DESCRIPTOR that IOCTL_STORAGE_QUERY_PROPERTY returns: reading its fields and
// strings strictly within the bytes the device returned, and writing one field by field (the
// Linux host synthesizes the descriptor of its drives; tests script them).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tolven {

// Byte positions of the fields (all little-endian).
inline constexpr uint32_t kDescriptorVersionAt = 0;
inline constexpr uint32_t kDescriptorSizeAt = 4;
inline constexpr uint32_t kDescriptorDeviceTypeAt = 8;
inline constexpr uint32_t kDescriptorDeviceTypeModifierAt = 9;
inline constexpr uint32_t kDescriptorRemovableMediaAt = 10;
inline constexpr uint32_t kDescriptorCommandQueueingAt = 11;
inline constexpr uint32_t kDescriptorVendorIdOffsetAt = 12;
inline constexpr uint32_t kDescriptorProductIdOffsetAt = 16;
inline constexpr uint32_t kDescriptorProductRevisionOffsetAt = 20;
inline constexpr uint32_t kDescriptorSerialNumberOffsetAt = 24;
inline constexpr uint32_t kDescriptorBusTypeAt = 28;
inline constexpr uint32_t kDescriptorRawPropertiesLengthAt = 32;
// The fixed part, including the one byte of raw properties and the padding after it.
inline constexpr uint32_t kDescriptorHeaderSize = 40;

// A 32-bit field of the returned bytes; 0 when the device did not return all four of its bytes,
// so a missing offset reads as "absent" and a missing bus type as "not USB".
uint32_t ReadDescriptorField(std::span<const std::byte> returned, uint32_t at);

// The 8-bit string at a string offset: up to its NUL, the end of the returned bytes, or maxLength
// bytes, whichever comes first. Empty when the offset is 0 (absent) or at or past the end of the
// returned bytes. Never reads outside `returned`.
std::string ReadDescriptorString(std::span<const std::byte> returned, uint32_t offset, std::size_t maxLength);

// What a synthesized descriptor says about a drive.
struct StorageDeviceIdentity {
    uint32_t busType = 0;  // STORAGE_BUS_TYPE, kBusTypeUsb for USB
    bool removableMedia = false;
    std::string vendorId;  // 8-bit, written NUL-terminated after the header
    std::string productId;
};

// A complete descriptor: the header written field by field, then the vendor and product strings
// (each NUL-terminated; revision and serial number absent). Strings are shortened when needed so
// that the whole record fits within maxSize bytes (at least the header).
std::vector<std::byte> BuildStorageDeviceDescriptor(const StorageDeviceIdentity& identity, uint32_t maxSize);

}  // namespace tolven
