#include "tests/fatfs/test_volume.h"

#include <set>

#include "tests/support/little_endian.h"

namespace tolven::testing {

TestLayout FormatTestVolume(MemoryBlockDevice& device, uint32_t sectorsPerCluster) {
    TestLayout l;
    l.totalSectors = static_cast<uint32_t>(device.SectorCount());
    l.sectorsPerCluster = sectorsPerCluster;
    l.bytesPerSector = device.SectorSize();
    l.fatSize = static_cast<uint32_t>((uint64_t{l.totalSectors - 32} * 4) /
                                      (uint64_t{sectorsPerCluster} * l.bytesPerSector + 8)) +
                1;
    l.clusterCount = (l.totalSectors - 2 * l.fatSize - 32) / sectorsPerCluster;

    std::vector<std::byte> boot(l.bytesPerSector);
    boot[0] = std::byte{0xEB};
    boot[1] = std::byte{0x58};
    boot[2] = std::byte{0x90};
    const std::string oem = "MSDOS5.0";
    for (std::size_t i = 0; i < oem.size(); ++i) {
        boot[3 + i] = std::byte(oem[i]);
    }
    PutLe16(boot, 11, l.bytesPerSector);
    boot[13] = std::byte(sectorsPerCluster);
    PutLe16(boot, 14, 32);
    boot[16] = std::byte{2};
    boot[21] = std::byte{0xF8};
    PutLe16(boot, 24, 63);
    PutLe16(boot, 26, 255);
    PutLe32(boot, 32, l.totalSectors);
    PutLe32(boot, 36, l.fatSize);
    PutLe32(boot, 44, 2);
    PutLe16(boot, 48, 1);
    PutLe16(boot, 50, 6);
    boot[64] = std::byte{0x80};
    boot[66] = std::byte{0x29};
    PutLe32(boot, 67, 0x16063052);
    const std::string label = "PMP        FAT32   ";
    for (std::size_t i = 0; i < label.size(); ++i) {
        boot[71 + i] = std::byte(label[i]);
    }
    boot[510] = std::byte{0x55};
    boot[511] = std::byte{0xAA};

    std::vector<std::byte> fsInfo(l.bytesPerSector);
    PutLe32(fsInfo, 0, 0x41615252);
    PutLe32(fsInfo, 484, 0x61417272);
    PutLe32(fsInfo, 488, l.clusterCount - 1);
    PutLe32(fsInfo, 492, 3);
    PutLe32(fsInfo, 508, 0xAA550000);

    std::vector<std::byte> fatHead(l.bytesPerSector);
    PutLe32(fatHead, 0, 0x0FFFFFF8);
    PutLe32(fatHead, 4, 0x0FFFFFFF);
    PutLe32(fatHead, 8, 0x0FFFFFFF);

    const uint32_t bps = l.bytesPerSector;
    device.Write(0, boot.data(), bps);
    device.Write(bps, fsInfo.data(), bps);
    device.Write(6ull * bps, boot.data(), bps);
    device.Write(7ull * bps, fsInfo.data(), bps);
    device.Write(l.FatOffset(0), fatHead.data(), bps);
    device.Write(l.FatOffset(1), fatHead.data(), bps);
    device.readCount = 0;
    device.writeCount = 0;
    device.writeSizes.clear();
    return l;
}

uint32_t ReadFatEntry(const MemoryBlockDevice& device, const TestLayout& layout, uint32_t fat,
                      uint32_t cluster) {
    return Le32(device.Bytes(layout.FatOffset(fat) + uint64_t{cluster} * 4, 4), 0) & 0x0FFFFFFF;
}

std::vector<uint32_t> ReadChain(const MemoryBlockDevice& device, const TestLayout& layout, uint32_t first) {
    std::vector<uint32_t> chain;
    uint32_t cluster = first;
    while (cluster >= 2 && cluster <= layout.clusterCount + 1 && chain.size() <= layout.clusterCount) {
        chain.push_back(cluster);
        cluster = ReadFatEntry(device, layout, 0, cluster);
    }
    return chain;
}

std::vector<TestEntry> ReadDirectory(const MemoryBlockDevice& device, const TestLayout& layout,
                                     uint32_t cluster) {
    std::vector<TestEntry> entries;
    for (const uint32_t c : ReadChain(device, layout, cluster)) {
        const std::vector<std::byte> bytes = device.Bytes(layout.ClusterOffset(c), layout.ClusterBytes());
        for (std::size_t at = 0; at < bytes.size(); at += 32) {
            const auto first = std::to_integer<uint8_t>(bytes[at]);
            if (first == 0) {
                return entries;
            }
            if (first == 0xE5) {
                continue;
            }
            TestEntry e;
            for (std::size_t i = 0; i < 11; ++i) {
                e.name.push_back(static_cast<char>(bytes[at + i]));
            }
            e.attributes = std::to_integer<uint8_t>(bytes[at + 11]);
            e.createDate = Le16(bytes, at + 16);
            e.writeTime = Le16(bytes, at + 22);
            e.writeDate = Le16(bytes, at + 24);
            e.firstCluster = uint32_t{Le16(bytes, at + 20)} << 16 | Le16(bytes, at + 26);
            e.size = Le32(bytes, at + 28);
            e.offset = layout.ClusterOffset(c) + at;
            entries.push_back(e);
        }
    }
    return entries;
}

std::vector<std::byte> ReadFileBytes(const MemoryBlockDevice& device, const TestLayout& layout,
                                     const TestEntry& entry) {
    std::vector<std::byte> content;
    for (const uint32_t c : ReadChain(device, layout, entry.firstCluster)) {
        const std::vector<std::byte> bytes = device.Bytes(layout.ClusterOffset(c), layout.ClusterBytes());
        content.insert(content.end(), bytes.begin(), bytes.end());
    }
    content.resize(std::min<std::size_t>(content.size(), entry.size));
    return content;
}

std::string CheckConsistency(const MemoryBlockDevice& device, const TestLayout& layout) {
    const uint64_t fatBytes = uint64_t{layout.fatSize} * layout.bytesPerSector;
    if (device.Bytes(layout.FatOffset(0), fatBytes) != device.Bytes(layout.FatOffset(1), fatBytes)) {
        return "the two FATs differ";
    }
    // Every cluster a directory tree reaches, from the root down.
    std::set<uint32_t> reached;
    std::vector<uint32_t> directories{2};
    while (!directories.empty()) {
        const uint32_t dir = directories.back();
        directories.pop_back();
        for (const uint32_t c : ReadChain(device, layout, dir)) {
            if (!reached.insert(c).second) {
                return "cluster " + std::to_string(c) + " is reached twice";
            }
        }
        for (const TestEntry& e : ReadDirectory(device, layout, dir)) {
            if (e.name[0] == '.' || (e.attributes & 0x08) != 0) {
                continue;
            }
            if (e.attributes & 0x10) {
                directories.push_back(e.firstCluster);
                continue;
            }
            const std::vector<uint32_t> chain = ReadChain(device, layout, e.firstCluster);
            const uint64_t expected = (uint64_t{e.size} + layout.ClusterBytes() - 1) / layout.ClusterBytes();
            if (chain.size() != expected) {
                return "\"" + e.name + "\" has " + std::to_string(chain.size()) + " clusters for " +
                       std::to_string(e.size) + " bytes";
            }
            for (const uint32_t c : chain) {
                if (!reached.insert(c).second) {
                    return "cluster " + std::to_string(c) + " is reached twice";
                }
            }
        }
    }
    uint32_t free = 0;
    for (uint32_t c = 2; c <= layout.clusterCount + 1; ++c) {
        const uint32_t value = ReadFatEntry(device, layout, 0, c);
        if (value == 0) {
            ++free;
        } else if (reached.count(c) == 0) {
            return "cluster " + std::to_string(c) + " is in use but belongs to nothing";
        }
    }
    const std::vector<std::byte> fsInfo = device.Bytes(layout.bytesPerSector, layout.bytesPerSector);
    if (Le32(fsInfo, 488) != free) {
        return "FSInfo counts " + std::to_string(Le32(fsInfo, 488)) + " free clusters, the FAT " +
               std::to_string(free);
    }
    const uint32_t next = Le32(fsInfo, 492);
    if (free > 0 &&
        (next < 2 || next > layout.clusterCount + 1 || ReadFatEntry(device, layout, 0, next) != 0)) {
        return "FSInfo's next free cluster " + std::to_string(next) + " is not free";
    }
    return {};
}

std::vector<std::byte> PatternBytes(std::size_t count, uint32_t seed) {
    std::vector<std::byte> bytes(count);
    uint32_t x = seed * 2654435761u + 1;
    for (auto& b : bytes) {
        x = x * 1103515245u + 12345u;
        b = std::byte((x >> 16) & 0xFF);
    }
    return bytes;
}

}  // namespace tolven::testing
