// Win32 platform layer, test build only: a stand-in player for machines whose system answers
// none of the storage and disk device controls (Wine). A configuration names one drive letter
// with the identification, geometry and partition the player would report; the decorators
// below answer those queries for that letter and pass everything else to the real calls.
// Plain C++ over the core's interfaces, so the unit tests run it on any host.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device/storage_identification.h"
#include "fat32/volume_access.h"

namespace tolven::win32::testing {

struct TestDeviceConfig {
    char driveLetter = 0;   // upper-case A..Z
    std::string vendor;     // vendor identification as the device reports it
    std::string product;    // product identification as the device reports it
    DiskGeometry geometry;  // BytesPerSector 512 unless given
    int64_t partitionLength = 0;
    uint32_t hiddenSectors = 0;
    // false: the disk queries and the partition and dismount controls go to the system, so that
    // the program meets the system's own refusals ("diskQueries=system").
    bool answerDiskQueries = true;
};

struct ParsedTestDeviceConfig {
    std::optional<TestDeviceConfig> config;
    std::string error;  // set when config is empty
};

// "drive=E;vendor=TOLVEN;product=VQ30;partitionLength=...;..." (keys: drive, vendor, product,
// bytesPerSector, sectorsPerTrack, tracksPerCylinder, cylinders, partitionLength, hiddenSectors,
// diskQueries=configured|system).
// drive and partitionLength are required; an unknown key or a malformed number is an error.
ParsedTestDeviceConfig ParseTestDeviceConfig(std::string_view text);

// A STORAGE_DEVICE_DESCRIPTOR with the two identification strings and the bus type, cut to
// bufferSize bytes, as the system would return it.
std::vector<std::byte> BuildStorageDeviceDescriptor(std::string_view vendor, std::string_view product,
                                                    uint32_t busType, uint32_t bufferSize);

class ConfiguredStorageIdentification final : public IStorageIdentification {
  public:
    ConfiguredStorageIdentification(TestDeviceConfig config, IStorageIdentification& system)
        : config_(std::move(config)), system_(system) {}
    uint32_t GetDriveTypeW(std::u16string_view rootPath) override;
    std::unique_ptr<IStorageDevice> OpenStorageDevice(std::u16string_view volumePath) override;
    std::u16string WidenIdentification(std::string_view text) override {
        return system_.WidenIdentification(text);
    }

  private:
    TestDeviceConfig config_;
    IStorageIdentification& system_;
};

// Opens the volume for real (so that the writes reach it) and answers the disk queries and the
// partition and dismount controls, which the system cannot, from the configuration.
class ConfiguredVolumeSystem final : public IVolumeSystem {
  public:
    ConfiguredVolumeSystem(TestDeviceConfig config, IVolumeSystem& system)
        : config_(std::move(config)), system_(system) {}
    std::unique_ptr<IVolume> CreateFileW(std::u16string_view path, uint32_t desiredAccess, uint32_t shareMode,
                                         uint32_t flagsAndAttributes) override;
    int32_t LastOpenError() const override { return system_.LastOpenError(); }

  private:
    TestDeviceConfig config_;
    IVolumeSystem& system_;
};

// The letter a path such as "X:\", "\\?\X:" or "\\.\X:" names, upper-cased; 0 when none.
char DriveLetterOfPath(std::u16string_view path);

}  // namespace tolven::win32::testing
