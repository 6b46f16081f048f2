// Linux host: what sysfs tells about a block device (partition or whole disk), found by its
// device number under <sysfsRoot>/dev/block/MAJOR:MINOR. The root is a parameter so that the
// parsing can be exercised on a directory tree built by a test.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tolven::linux_host {

inline constexpr const char* kSysfsRoot = "/sys";

struct SysfsBlockInfo {
    bool isPartition = false;
    uint32_t partitionNumber = 0;  // 0 for a whole disk
    uint64_t start = 0;            // first sector on the parent disk, in 512-byte units; 0 for a disk
    std::string parentName;        // kernel name of the parent disk ("sdb"); empty for a disk
    uint32_t parentMajor = 0;      // device number of the parent disk; 0:0 for a disk
    uint32_t parentMinor = 0;
};

// The first line of a sysfs attribute, without its line end (blanks kept); null when it cannot be
// read.
std::optional<std::string> ReadSysfsAttribute(const std::filesystem::path& file);

// <sysfsRoot>/dev/block/MAJOR:MINOR, the device's link into the device tree.
std::filesystem::path SysfsDeviceLink(const std::filesystem::path& sysfsRoot, uint32_t major, uint32_t minor);

struct SysfsPartition {
    std::string name;     // kernel name, "sdb1"
    uint32_t number = 0;  // its "partition" attribute, 1 and up
    bool hasDeviceNumber = false;
    uint32_t major = 0;  // its "dev" attribute, when sysfs gives one
    uint32_t minor = 0;
};

// The partitions of a whole disk: the subfolders of its sysfs folder whose "partition" attribute
// is a number from 1 up, in directory order.
std::vector<SysfsPartition> ListSysfsPartitions(const std::filesystem::path& diskFolder);

// Null when the device is not in sysfs or its attributes cannot be parsed.
std::optional<SysfsBlockInfo> ReadSysfsBlockInfo(const std::filesystem::path& sysfsRoot, uint32_t major,
                                                 uint32_t minor);

// Parses "MAJOR:MINOR" (the content of a sysfs `dev` file, trailing newline allowed).
bool ParseDeviceNumber(const std::string& text, uint32_t& major, uint32_t& minor);

// Parses a decimal sysfs attribute (trailing newline allowed). Null on anything else.
std::optional<uint64_t> ParseSysfsNumber(const std::string& text);

}  // namespace tolven::linux_host
