#include "platform/linux/content/linked_content_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "content/content_block_ids.h"
#include "tests/content/jpeg_markers.h"
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

TEST(LinkedContentStore, FontBlockHasItsFixedSize) {
    const auto font = LinkedContentStore().FindContentResource(kFontBlockId);
    ASSERT_TRUE(font.has_value());
    EXPECT_EQ(font->size(), 2'096'640u);
}

// --- The screens' form: JFIF 1.02, baseline, 480 x 272, three components 1x1, one scan ---

TEST(LinkedContentStore, EveryScreenIsABaselineJfifImageOfThePlayersSize) {
    const LinkedContentStore store;
    for (uint16_t id = kFirstScreenBlockId; id <= kLastScreenBlockId; ++id) {
        SCOPED_TRACE("block " + std::to_string(id));
        const auto block = store.FindContentResource(id);
        ASSERT_TRUE(block.has_value());
        ASSERT_GE(block->size(), 4u);
        const auto byteAt = [&](size_t i) { return std::to_integer<int>((*block)[i]); };
        EXPECT_EQ(byteAt(0), 0xFF);
        EXPECT_EQ(byteAt(1), 0xD8);
        EXPECT_EQ(byteAt(2), 0xFF);
        EXPECT_EQ(byteAt(3), 0xE0) << "the JFIF segment comes first";
        EXPECT_EQ(byteAt(block->size() - 2), 0xFF);
        EXPECT_EQ(byteAt(block->size() - 1), 0xD9);

        const testing::JpegMarkers jpeg = testing::WalkJpegMarkers(*block);
        ASSERT_EQ(jpeg.error, "");
        EXPECT_EQ(jpeg.bytesAfterEndOfImage, 0u);
        EXPECT_EQ(jpeg.jfifMajor, 1);
        EXPECT_EQ(jpeg.jfifMinor, 2);
        EXPECT_EQ(jpeg.frameType, 0xC0) << "baseline sequential";
        EXPECT_EQ(jpeg.precision, 8);
        EXPECT_EQ(jpeg.width, 480);
        EXPECT_EQ(jpeg.height, 272);
        ASSERT_EQ(jpeg.components.size(), 3u);
        for (size_t i = 0; i < jpeg.components.size(); ++i) {
            EXPECT_EQ(jpeg.components[i].id, static_cast<int>(i + 1)) << "component " << i;
            EXPECT_EQ(jpeg.components[i].sampling, 0x11) << "component " << i << " is subsampled";
        }
        EXPECT_EQ(jpeg.scans, 1);
        EXPECT_EQ(jpeg.componentsInFirstScan, 3);
    }
}

TEST(LinkedContentStore, SecondHomeAndTextBackgroundsAreCopiesOfTheFirst) {
    const LinkedContentStore store;
    const struct {
        uint16_t copy;
        uint16_t original;
    } pairs[] = {{162, 161}, {166, 165}};
    for (const auto& pair : pairs) {
        SCOPED_TRACE("block " + std::to_string(pair.copy));
        const auto copy = store.FindContentResource(pair.copy);
        const auto original = store.FindContentResource(pair.original);
        ASSERT_TRUE(copy && original);
        EXPECT_EQ(Bytes(*copy), Bytes(*original));
    }
}

// --- The walker itself must see a broken file as broken ---

TEST(JpegMarkerWalker, ReportsCutAndMalformedFiles) {
    const auto screen = LinkedContentStore().FindContentResource(160);
    ASSERT_TRUE(screen.has_value());
    const struct {
        const char* label;
        std::vector<std::byte> bytes;
    } cases[] = {
        {"empty", {}},
        {"cut in a segment header", {screen->begin(), screen->begin() + 30}},
        {"no end-of-image marker", {screen->begin(), screen->end() - 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_NE(testing::WalkJpegMarkers(c.bytes).error, "");
    }
    std::vector<std::byte> trailing(screen->begin(), screen->end());
    trailing.push_back(std::byte{0});
    EXPECT_EQ(testing::WalkJpegMarkers(trailing).bytesAfterEndOfImage, 1u);
}

}  // namespace
}  // namespace tolven
