#include "fat32/clear_leading_sectors.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/fake_controls.h"
#include "tests/support/fake_volume.h"
#include "ui/status_log.h"

namespace tolven {
namespace {

using testing::FakeVolumeSystem;
using testing::VolumeCallKind;

TEST(ClearLeadingSectorsTest, WritesWholeChunksOf128SectorsThenTheRest) {
    struct Case {
        uint32_t sectors;
        std::vector<uint32_t> writeSectors;
    };
    const Case cases[] = {
        {0, {}}, {1, {1}}, {127, {127}}, {128, {128}}, {129, {128, 1}}, {300, {128, 128, 44}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.sectors) + " sectors");
        testing::FakeLogControl log;
        BindLogControl(&log);
        FakeVolumeSystem volumes(1'000);
        testing::FakePageAllocator pages;
        for (uint32_t sector = 0; sector < 400; ++sector) {
            volumes.FillSector(sector, std::byte{0x5A});
        }
        auto volume = volumes.CreateFileW(u"\\\\.\\E:", 0, 0, 0);

        EXPECT_TRUE(ClearLeadingSectors(*volume, pages, c.sectors, 512));
        volume->CloseHandle();

        std::vector<uint32_t> written;
        uint64_t nextOffset = 0;
        for (const auto& write : volumes.CallsOf(VolumeCallKind::kWrite)) {
            EXPECT_EQ(write.offset, nextOffset);  // one write follows the other
            nextOffset += write.size;
            written.push_back(write.size / 512);
        }
        EXPECT_EQ(written, c.writeSectors);
        EXPECT_EQ(volumes.sectors().begin()->first, c.sectors);  // cleared up to here, no further
        EXPECT_TRUE(log.text.empty());
    }
}

}  // namespace
}  // namespace tolven
