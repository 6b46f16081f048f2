// Fuzzes the reading of a FAT32 volume: the input is the start of a volume (boot sector, FSInfo,
// FATs, root directory); the device is as long as its boot sector claims, within a bound, and
// reads as zero beyond the input. Whatever the bytes, opening, reading the label and the space,
// and then labelling, creating, writing and deleting must end cleanly, never out of bounds and
// never in an endless loop.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fatfs/fat32_volume.h"
#include "tests/fatfs/memory_block_device.h"

namespace {

constexpr uint64_t kMaxSectors = uint64_t{1} << 18;  // 128 MiB: keeps one run short

uint64_t ClaimedSectors(const uint8_t* data, std::size_t size) {
    if (size < 36) {
        return 0;
    }
    const uint64_t small = data[19] | (uint64_t{data[20]} << 8);
    const uint64_t large =
        data[32] | (uint64_t{data[33]} << 8) | (uint64_t{data[34]} << 16) | (uint64_t{data[35]} << 24);
    return small != 0 ? small : large;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace tolven;
    const uint64_t inputSectors = (size + 511) / 512;
    uint64_t sectors = ClaimedSectors(data, size);
    if (sectors < inputSectors) {
        sectors = inputSectors;
    }
    if (sectors > kMaxSectors) {
        sectors = kMaxSectors;
    }
    if (sectors == 0) {
        sectors = 1;
    }
    testing::MemoryBlockDevice device(sectors);
    std::vector<std::byte> image(static_cast<std::size_t>(inputSectors) * 512);
    for (std::size_t i = 0; i < size; ++i) {
        image[i] = static_cast<std::byte>(data[i]);
    }
    if (!image.empty()) {
        const std::size_t fits = std::min<std::size_t>(image.size(), static_cast<std::size_t>(sectors) * 512);
        device.Write(0, image.data(), fits);
    }

    Fat32Volume volume(device, [] { return SystemTime{2024, 3, 5, 15, 14, 30, 45, 678}; });
    if (!volume.Open().ok()) {
        return 0;
    }
    std::string label;
    (void)volume.ReadLabel(label);
    uint64_t freeBytes = 0;
    (void)volume.FreeBytes(freeBytes);
    (void)volume.SetLabel("PMP");
    const std::vector<std::string> folder = {"SYSTEM"};
    const std::vector<std::string> file = {"SYSTEM", "A.BIN"};
    (void)volume.CreateDirectory(folder);
    (void)volume.CreateFile(file);
    const std::vector<std::byte> content(5000, std::byte{0x5A});
    (void)volume.WriteContent(file, content.data(), content.size());
    (void)volume.DeleteFile(file);
    return 0;
}
