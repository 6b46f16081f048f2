// Linux host: reading a block device's partition facts from sysfs (no device I/O here).
#include "platform/linux/volume/sysfs_block.h"

#include <charconv>
#include <fstream>
#include <system_error>

namespace tolven::linux_host {

namespace {

std::string TrimLineEnd(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

}  // namespace

std::optional<std::string> ReadSysfsAttribute(const std::filesystem::path& file) {
    std::ifstream in(file);
    if (!in) {
        return std::nullopt;
    }
    std::string line;
    std::getline(in, line);
    return line;
}

std::filesystem::path SysfsDeviceLink(const std::filesystem::path& sysfsRoot, uint32_t major,
                                      uint32_t minor) {
    return sysfsRoot / "dev" / "block" / (std::to_string(major) + ":" + std::to_string(minor));
}

std::vector<SysfsPartition> ListSysfsPartitions(const std::filesystem::path& diskFolder) {
    std::vector<SysfsPartition> partitions;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(diskFolder, error)) {
        const auto number = ParseSysfsNumber(ReadSysfsAttribute(entry.path() / "partition").value_or(""));
        if (!number || *number == 0 || *number > UINT32_MAX) {
            continue;
        }
        SysfsPartition partition;
        partition.name = entry.path().filename().string();
        partition.number = static_cast<uint32_t>(*number);
        partition.hasDeviceNumber = ParseDeviceNumber(ReadSysfsAttribute(entry.path() / "dev").value_or(""),
                                                      partition.major, partition.minor);
        partitions.push_back(std::move(partition));
    }
    return partitions;
}

std::optional<uint64_t> ParseSysfsNumber(const std::string& raw) {
    const std::string text = TrimLineEnd(raw);
    uint64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
}

bool ParseDeviceNumber(const std::string& raw, uint32_t& major, uint32_t& minor) {
    const std::string text = TrimLineEnd(raw);
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos) {
        return false;
    }
    const auto majorValue = ParseSysfsNumber(text.substr(0, colon));
    const auto minorValue = ParseSysfsNumber(text.substr(colon + 1));
    if (!majorValue || !minorValue || *majorValue > UINT32_MAX || *minorValue > UINT32_MAX) {
        return false;
    }
    major = static_cast<uint32_t>(*majorValue);
    minor = static_cast<uint32_t>(*minorValue);
    return true;
}

std::optional<SysfsBlockInfo> ReadSysfsBlockInfo(const std::filesystem::path& sysfsRoot, uint32_t major,
                                                 uint32_t minor) {
    std::error_code ec;
    // The dev/block entry is a link into the device tree: .../block/sdb/sdb1 for a partition,
    // .../block/sdb for a disk. The folder above a partition is its disk.
    const std::filesystem::path device =
        std::filesystem::canonical(SysfsDeviceLink(sysfsRoot, major, minor), ec);
    if (ec) {
        return std::nullopt;
    }
    SysfsBlockInfo info;
    const auto partition = ReadSysfsAttribute(device / "partition");
    if (!partition) {
        return info;  // a whole disk
    }
    const auto number = ParseSysfsNumber(*partition);
    const auto start = ReadSysfsAttribute(device / "start");
    const auto startValue = start ? ParseSysfsNumber(*start) : std::nullopt;
    const std::filesystem::path parent = device.parent_path();
    const auto parentDev = ReadSysfsAttribute(parent / "dev");
    if (!number || *number == 0 || *number > UINT32_MAX || !startValue || !parentDev ||
        !ParseDeviceNumber(*parentDev, info.parentMajor, info.parentMinor)) {
        return std::nullopt;
    }
    info.isPartition = true;
    info.partitionNumber = static_cast<uint32_t>(*number);
    info.start = *startValue;
    info.parentName = parent.filename().string();
    return info;
}

}  // namespace tolven::linux_host
