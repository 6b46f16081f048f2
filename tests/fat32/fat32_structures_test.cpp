#include "fat32/fat32_structures.h"

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <vector>

#include "base/little_endian.h"

namespace tolven {
namespace {

using Sector = std::array<std::byte, 512>;

// One field of an image: where it starts and the bytes it must hold.
struct Field {
    const char* name;
    std::size_t offset;
    std::vector<uint8_t> bytes;
};

std::vector<uint8_t> Ascii(std::string_view text) {
    return {text.begin(), text.end()};
}

// Every named field holds its bytes and every other byte of the sector is zero.
void ExpectSectorHoldsExactly(const Sector& sector, const std::vector<Field>& fields) {
    std::set<std::size_t> named;
    for (const Field& field : fields) {
        for (std::size_t i = 0; i < field.bytes.size(); ++i) {
            named.insert(field.offset + i);
            EXPECT_EQ(std::to_integer<int>(sector[field.offset + i]), field.bytes[i])
                << field.name << ", byte " << i << " (offset " << field.offset + i << ")";
        }
    }
    for (std::size_t offset = 0; offset < sector.size(); ++offset) {
        if (named.count(offset) == 0) {
            EXPECT_EQ(std::to_integer<int>(sector[offset]), 0) << "unnamed byte at offset " << offset;
        }
    }
}

Fat32Layout Layout40GB() {
    return ComputeFat32Layout(40'007'729'664, 512, 78'140'097, 64);
}

TEST(MakeVolumeIdTest, MixesTheLocalTimeIntoTwoHalves) {
    struct Case {
        const char* name;
        SystemTime time;
        uint32_t expected;
    };
    const Case cases[] = {
        {"2024-03-15 14:30:45.678", {2024, 3, 5, 15, 14, 30, 45, 678}, 0x16063052},
        {"2024-12-31 23:59:59.999", {2024, 12, 2, 31, 23, 59, 59, 999}, 0x1F234782},
        {"halves wrap at 65,536", {65'000, 12, 0, 31, 23, 59, 255, 999}, 0x15230B82},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(MakeVolumeId(c.time), c.expected);
    }
}

TEST(BuildBootSectorTest, Holds40GBVolumeFieldByField) {
    Sector sector{};
    const DeviceFacts device{512, 63, 255, 40'007'729'664, 2'048};
    BuildBootSector(sector, Layout40GB(), device, 0x16063052, kVolumeLabel);
    ExpectSectorHoldsExactly(sector, {
                                         {"jump", 0, {0xEB, 0x58, 0x90}},
                                         {"OEM name", 3, Ascii("MSDOS5.0")},
                                         {"bytes per sector", 11, {0x00, 0x02}},
                                         {"sectors per cluster", 13, {0x40}},
                                         {"reserved sectors", 14, {32, 0}},
                                         {"FAT count", 16, {2}},
                                         {"root entries, total sectors 16", 17, {0, 0, 0, 0}},
                                         {"media", 21, {0xF8}},
                                         {"FAT size 16", 22, {0, 0}},
                                         {"sectors per track", 24, {63, 0}},
                                         {"heads", 26, {255, 0}},
                                         {"hidden sectors", 28, {0x00, 0x08, 0, 0}},
                                         {"total sectors 32", 32, {0xC1, 0x52, 0xA8, 0x04}},
                                         {"FAT size 32", 36, {0x41, 0x25, 0x00, 0x00}},
                                         {"flags and version", 40, {0, 0, 0, 0}},
                                         {"root cluster", 44, {2, 0, 0, 0}},
                                         {"FSInfo sector", 48, {1, 0}},
                                         {"backup boot sector", 50, {6, 0}},
                                         {"drive number", 64, {0x80}},
                                         {"extended signature", 66, {0x29}},
                                         {"volume id", 67, {0x52, 0x30, 0x06, 0x16}},
                                         {"label", 71, Ascii("PMP        ")},
                                         {"file system type", 82, Ascii("FAT32   ")},
                                         {"signature", 510, {0x55, 0xAA}},
                                     });
}

TEST(BuildBootSectorTest, KeepsTheLow16BitsOfGeometryAndPadsAShortLabel) {
    Sector sector{};
    const DeviceFacts device{512, 0x12345, 0x10002, 1, 0xA1B2C3D4};
    Fat32Layout layout = Layout40GB();
    layout.sectorsPerCluster = 0x140;  // only the low byte fits the field
    BuildBootSector(sector, layout, device, 1, "AB");
    EXPECT_EQ(LoadLe16(&sector[boot_sector::kSectorsPerTrack]), 0x2345);
    EXPECT_EQ(LoadLe16(&sector[boot_sector::kHeads]), 0x0002);
    EXPECT_EQ(LoadLe32(&sector[boot_sector::kHiddenSectors]), 0xA1B2C3D4u);
    EXPECT_EQ(std::to_integer<int>(sector[boot_sector::kSectorsPerCluster]), 0x40);
    const std::string label(reinterpret_cast<const char*>(&sector[boot_sector::kVolumeLabel]), 11);
    EXPECT_EQ(label, "AB         ");
    EXPECT_EQ(std::to_integer<int>(sector[boot_sector::kFileSystemType]), 'F');  // label did not spill over
}

TEST(BuildFsInfoSectorTest, HoldsSignaturesFreeCountAndNextFree) {
    Sector sector{};
    BuildFsInfoSector(sector, Layout40GB().freeClusters);
    ExpectSectorHoldsExactly(sector, {
                                         {"lead signature", 0, {0x52, 0x52, 0x61, 0x41}},
                                         {"structure signature", 484, {0x72, 0x72, 0x41, 0x61}},
                                         {"free clusters", 488, {0x1F, 0xA0, 0x12, 0x00}},
                                         {"next free", 492, {3, 0, 0, 0}},
                                         {"trail signature", 508, {0x00, 0x00, 0x55, 0xAA}},
                                     });
}

TEST(BuildFatHeadTest, HoldsMediaEntryEndOfChainAndTheRootsEntry) {
    Sector sector{};
    BuildFatHead(sector);
    ExpectSectorHoldsExactly(sector, {
                                         {"entry 0", 0, {0xF8, 0xFF, 0xFF, 0x0F}},
                                         {"entry 1", 4, {0xFF, 0xFF, 0xFF, 0x0F}},
                                         {"entry 2, root", 8, {0xFF, 0xFF, 0xFF, 0x0F}},
                                     });
}

}  // namespace
}  // namespace tolven
