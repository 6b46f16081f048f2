#include "device/storage_descriptor.h"

#include <gtest/gtest.h>

#include "device/storage_identification.h"
#include "tests/support/little_endian.h"

namespace tolven {
namespace {

using testing::Le32;

std::string StringAt(const std::vector<std::byte>& bytes, std::size_t at) {
    std::string text;
    while (bytes.at(at) != std::byte{0}) {
        text.push_back(static_cast<char>(bytes[at++]));
    }
    return text;
}

TEST(BuildStorageDeviceDescriptorTest, WritesTheHeaderFieldsAndTheStringsAfterIt) {
    const std::vector<std::byte> d =
        BuildStorageDeviceDescriptor({kBusTypeUsb, true, "TOLVEN  ", "VQ30            "}, 551);
    ASSERT_EQ(d.size(), 40u + 9 + 17);
    EXPECT_EQ(Le32(d, 0), 40u) << "Version";
    EXPECT_EQ(Le32(d, 4), d.size()) << "Size";
    EXPECT_EQ(d[8], std::byte{0}) << "DeviceType: direct access";
    EXPECT_EQ(d[10], std::byte{1}) << "RemovableMedia";
    EXPECT_EQ(Le32(d, 12), 40u) << "VendorIdOffset";
    EXPECT_EQ(Le32(d, 16), 49u) << "ProductIdOffset";
    EXPECT_EQ(Le32(d, 20), 0u) << "no revision";
    EXPECT_EQ(Le32(d, 24), 0u) << "no serial number";
    EXPECT_EQ(Le32(d, 28), 7u) << "BusType";
    EXPECT_EQ(StringAt(d, 40), "TOLVEN  ");
    EXPECT_EQ(StringAt(d, 49), "VQ30            ");
}

TEST(BuildStorageDeviceDescriptorTest, CutsStringsSoTheRecordFitsItsLimit) {
    struct FitCase {
        const char* name;
        std::size_t vendorLength;
        std::size_t productLength;
        uint32_t limit;
        std::size_t vendorKept;
        std::optional<std::size_t> productKept;  // nullopt: absent
    };
    const FitCase cases[] = {
        {"both fit", 8, 16, 551, 8, 16},
        {"exactly fills", 8, 16, 66, 8, 16},
        {"product cut", 8, 16, 60, 8, 10},
        {"product has room for its NUL only", 8, 16, 50, 8, 0},
        {"no room for the product", 8, 16, 49, 8, std::nullopt},
        {"vendor cut, product absent", 600, 16, 551, 510, std::nullopt},
    };
    for (const FitCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<std::byte> d = BuildStorageDeviceDescriptor(
            {kBusTypeUsb, false, std::string(c.vendorLength, 'V'), std::string(c.productLength, 'P')},
            c.limit);
        EXPECT_LE(d.size(), c.limit);
        EXPECT_EQ(Le32(d, 4), d.size());
        EXPECT_EQ(StringAt(d, Le32(d, 12)).size(), c.vendorKept);
        if (c.productKept) {
            ASSERT_NE(Le32(d, 16), 0u);
            EXPECT_EQ(StringAt(d, Le32(d, 16)).size(), *c.productKept);
        } else {
            EXPECT_EQ(Le32(d, 16), 0u);
        }
    }
}

TEST(ReadDescriptorFieldTest, AFieldNotWhollyReturnedReadsAsZero) {
    const std::vector<std::byte> d = BuildStorageDeviceDescriptor({kBusTypeUsb, false, "A", "B"}, 551);
    const std::span<const std::byte> all(d);
    EXPECT_EQ(ReadDescriptorField(all, 28), 7u);
    EXPECT_EQ(ReadDescriptorField(all.first(32), 28), 7u);
    EXPECT_EQ(ReadDescriptorField(all.first(31), 28), 0u);
    EXPECT_EQ(ReadDescriptorField(all.first(3), 0), 0u);
    EXPECT_EQ(ReadDescriptorField(all, 0xFFFFFFFEu), 0u);
}

}  // namespace
}  // namespace tolven
