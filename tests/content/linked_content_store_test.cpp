// The store links every content block into the program. The screens' JPEG form and which of them
// repeat are checked over the committed files in tests/tools/screen_files_test.cpp.
#include "platform/linux/content/linked_content_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "content/content_block_ids.h"
#include "tests/support/file_bytes.h"

namespace tolven {
namespace {

using linux_host::LinkedContentStore;

std::vector<std::byte> ReadBlockFile(uint16_t id) {
    const std::string path = std::string(TOLVEN_CONTENT_DIR) + "/block_" + std::to_string(id) +
                             (id == kFontBlockId ? ".fon" : ".jpg");
    return testing::ReadFileBytes(path);
}

std::vector<std::byte> Bytes(ContentBlock block) {
    return {block.begin(), block.end()};
}

// --- Which ids answer ---

TEST(LinkedContentStore, CarriesEveryBlockAsItsFile) {
    const LinkedContentStore store;
    for (uint16_t id : kContentBlockIds) {
        SCOPED_TRACE("block " + std::to_string(id));
        const auto block = store.FindContentResource(id);
        ASSERT_TRUE(block.has_value());
        const std::vector<std::byte> file = ReadBlockFile(id);
        ASSERT_FALSE(file.empty()) << "block file is missing";
        EXPECT_EQ(Bytes(*block), file);
    }
}

TEST(LinkedContentStore, IdsOutsideTheTableGiveNothing) {
    const LinkedContentStore store;
    for (uint16_t id : {0, 1, 136, 138, 150, 158, 176, 200, 0xFFFF}) {
        EXPECT_FALSE(store.FindContentResource(id).has_value()) << "id " << id;
    }
}

TEST(LinkedContentStore, SameIdGivesTheSameBytesInPlace) {
    const LinkedContentStore first;
    const LinkedContentStore second;
    for (uint16_t id : kContentBlockIds) {
        SCOPED_TRACE("block " + std::to_string(id));
        const auto a = first.FindContentResource(id);
        const auto b = second.FindContentResource(id);
        ASSERT_TRUE(a && b);
        EXPECT_EQ(a->data(), b->data());
        EXPECT_EQ(a->size(), b->size());
    }
}

}  // namespace
}  // namespace tolven
