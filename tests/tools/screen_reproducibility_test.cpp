// The committed pictures are the generator's output: painting them again gives the same bytes.
// (The check assumes the libjpeg-turbo version the pictures were made with.)
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/file_bytes.h"
#include "tests/support/temp_image.h"
#include "tools/screens/screen_catalog.h"
#include "tools/screens/screen_writer.h"

namespace tolven::testing {
namespace {

TEST(ScreenReproducibility, RegeneratedPicturesMatchTheCommittedFilesByteForByte) {
    // A folder of this run's own, so that test runs in several build trees cannot collide.
    const TempDir temp;
    const std::filesystem::path& folder = temp.Path();
    screens::WriteScreenBlocks(folder);

    int compared = 0;
    for (const screens::ScreenBlock& block : screens::ScreenBlocks()) {
        const std::string name = screens::BlockFileName(block.id);
        SCOPED_TRACE(name);
        const std::vector<std::byte> fresh = ReadFileBytes(folder / name);
        const std::vector<std::byte> committed =
            ReadFileBytes(std::filesystem::path(TOLVEN_CONTENT_DIR) / name);
        ASSERT_FALSE(fresh.empty());
        EXPECT_EQ(fresh.size(), committed.size());
        EXPECT_TRUE(fresh == committed) << "differs from the committed file; run the generate_screens target";
        ++compared;
    }
    EXPECT_EQ(compared, 17);
}

}  // namespace
}  // namespace tolven::testing
