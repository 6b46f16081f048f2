#include "tests/linux/volume/disk_image.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "tests/support/little_endian.h"

namespace tolven::linux_host::testing {

DriveTarget ImageTarget(const std::string& path) {
    DriveTarget target;
    target.path = path;
    target.isImage = true;
    return target;
}

DriveTarget DeviceTarget(const std::string& path) {
    DriveTarget target;
    target.path = path;
    return target;
}

void WriteBytes(const std::string& path, uint64_t offset, const std::vector<std::byte>& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    const bool ok = fd >= 0 && ::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(offset)) ==
                                   static_cast<ssize_t>(bytes.size());
    if (fd >= 0) {
        ::close(fd);
    }
    if (!ok) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::vector<std::byte> ReadBytes(const std::string& path, uint64_t offset, std::size_t count) {
    std::vector<std::byte> bytes(count);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    const ssize_t got = fd >= 0 ? ::pread(fd, bytes.data(), count, static_cast<off_t>(offset)) : -1;
    if (fd >= 0) {
        ::close(fd);
    }
    if (got < 0) {
        throw std::runtime_error("cannot read " + path);
    }
    bytes.resize(static_cast<std::size_t>(got));
    return bytes;
}

std::vector<std::pair<uint64_t, uint64_t>> DataExtents(const std::string& path) {
    std::vector<std::pair<uint64_t, uint64_t>> extents;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        throw std::runtime_error("cannot open " + path);
    }
    off_t at = 0;
    while (true) {
        const off_t data = ::lseek(fd, at, SEEK_DATA);
        if (data < 0) {
            break;  // ENXIO: no data after `at`
        }
        const off_t hole = ::lseek(fd, data, SEEK_HOLE);
        extents.emplace_back(static_cast<uint64_t>(data), static_cast<uint64_t>(hole));
        at = hole;
    }
    ::close(fd);
    return extents;
}

void CopySparseRange(const std::string& source, uint64_t offset, uint64_t length, const std::string& target) {
    CreateSparseFile(target, length);
    const uint64_t end = offset + length;
    for (const auto& [first, last] : DataExtents(source)) {
        const uint64_t from = std::max(first, offset);
        const uint64_t to = std::min(last, end);
        for (uint64_t at = from; at < to;) {
            const std::size_t chunk = static_cast<std::size_t>(std::min<uint64_t>(to - at, 1 << 20));
            WriteBytes(target, at - offset, ReadBytes(source, at, chunk));
            at += chunk;
        }
    }
}

std::vector<std::byte> PatternSector(uint64_t sectorNumber) {
    std::vector<std::byte> sector(512);
    for (std::size_t i = 0; i < sector.size(); ++i) {
        sector[i] = static_cast<std::byte>((sectorNumber >> (8 * (i % 8))) ^ (0xA5 + i));
    }
    return sector;
}

std::vector<std::byte> MbrSector(const std::vector<MbrPartition>& partitions) {
    std::vector<std::byte> sector(512);
    for (std::size_t i = 0; i < partitions.size() && i < 4; ++i) {
        const std::size_t base = 446 + i * 16;
        sector[base] = std::byte{partitions[i].bootIndicator};
        // CHS fields as tools write them for LBA-addressed partitions beyond CHS reach.
        sector[base + 1] = std::byte{0xFE};
        sector[base + 2] = std::byte{0xFF};
        sector[base + 3] = std::byte{0xFF};
        sector[base + 4] = std::byte{partitions[i].type};
        sector[base + 5] = std::byte{0xFE};
        sector[base + 6] = std::byte{0xFF};
        sector[base + 7] = std::byte{0xFF};
        tolven::testing::PutLe32(sector, base + 8, partitions[i].startLba);
        tolven::testing::PutLe32(sector, base + 12, partitions[i].sectorCount);
    }
    sector[510] = std::byte{0x55};
    sector[511] = std::byte{0xAA};
    return sector;
}

void CreateDiskImage(const std::string& path, uint64_t size, const std::vector<MbrPartition>& partitions) {
    CreateSparseFile(path, size);
    WriteBytes(path, 0, MbrSector(partitions));
}

}  // namespace tolven::linux_host::testing
