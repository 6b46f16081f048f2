// The committed screen pictures: the JPEG form the player reads (JFIF 1.02, one baseline 4:4:4
// frame of 480 x 272, Huffman coded, one scan, nothing after the end), the repeated blocks, and
// that every file decodes to a real picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tests/tools/jpeg_decoder.h"
#include "tests/tools/jpeg_marker_walker.h"

namespace tolven::testing {
namespace {

constexpr int kFirstId = 159;
constexpr int kLastId = 175;

std::string FileName(int id) {
    return "block_" + std::to_string(id) + ".jpg";
}

std::vector<uint8_t> ReadCommitted(int id) {
    std::ifstream file(std::filesystem::path(TOLVEN_CONTENT_DIR) / FileName(id), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class ScreenFiles : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        for (int id = kFirstId; id <= kLastId; ++id) {
            files_[id] = ReadCommitted(id);
        }
    }
    static std::map<int, std::vector<uint8_t>> files_;
};
std::map<int, std::vector<uint8_t>> ScreenFiles::files_;

int CountMarkers(const JpegWalk& walk, bool (*match)(uint8_t)) {
    return static_cast<int>(std::count_if(walk.segments.begin(), walk.segments.end(),
                                          [&](const JpegSegment& s) { return match(s.marker); }));
}

TEST_F(ScreenFiles, FollowTheMarkerRulesOfThePlayer) {
    for (const auto& [id, bytes] : files_) {
        SCOPED_TRACE(FileName(id));
        ASSERT_FALSE(bytes.empty()) << "missing or empty";
        const JpegWalk walk = WalkJpeg(bytes);
        ASSERT_EQ(walk.error, "");
        // Nothing after the end-of-image marker.
        EXPECT_EQ(walk.end, bytes.size());
        EXPECT_EQ(bytes[bytes.size() - 2], 0xFF);
        EXPECT_EQ(bytes[bytes.size() - 1], kEoi);

        // The JFIF segment right after SOI, version 1.02.
        ASSERT_GE(walk.segments.size(), 2u);
        const JpegSegment& app0 = walk.segments[1];
        ASSERT_EQ(app0.marker, kApp0);
        ASSERT_GE(app0.payload.size(), 7u);
        EXPECT_EQ(std::string(app0.payload.begin(), app0.payload.begin() + 5), std::string("JFIF\0", 5));
        EXPECT_EQ(app0.payload[5], 1);
        EXPECT_EQ(app0.payload[6], 2);

        EXPECT_EQ(CountMarkers(walk, IsStartOfFrame), 1);
        EXPECT_EQ(CountMarkers(walk, [](uint8_t m) { return m == kSos; }), 1);
        EXPECT_GE(CountMarkers(walk, [](uint8_t m) { return m == kDht; }), 1) << "no Huffman table";
        EXPECT_GE(CountMarkers(walk, [](uint8_t m) { return m == kDqt; }), 1) << "no quantisation table";
        EXPECT_EQ(CountMarkers(walk, [](uint8_t m) { return m == kDac; }), 0) << "arithmetic coding";

        const auto frame = std::find_if(walk.segments.begin(), walk.segments.end(),
                                        [](const JpegSegment& s) { return IsStartOfFrame(s.marker); });
        ASSERT_NE(frame, walk.segments.end());
        EXPECT_EQ(frame->marker, kSof0) << "not baseline";
        const std::vector<uint8_t>& f = frame->payload;
        ASSERT_EQ(f.size(), 6u + 3u * 3u);
        EXPECT_EQ(f[0], 8) << "sample precision";
        EXPECT_EQ(f[1] << 8 | f[2], 272) << "lines";
        EXPECT_EQ(f[3] << 8 | f[4], 480) << "samples per line";
        ASSERT_EQ(f[5], 3) << "components";
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(f[6 + 3 * c], c + 1) << "component id " << c;
            EXPECT_EQ(f[7 + 3 * c], 0x11) << "sampling of component " << c;
        }
        const auto scan = std::find_if(walk.segments.begin(), walk.segments.end(),
                                       [](const JpegSegment& s) { return s.marker == kSos; });
        ASSERT_NE(scan, walk.segments.end());
        ASSERT_FALSE(scan->payload.empty());
        EXPECT_EQ(scan->payload[0], 3) << "the one scan carries all three components";
    }
}

TEST_F(ScreenFiles, RepeatOnlyTheBlocksMeantToBeRepeated) {
    EXPECT_EQ(files_[162], files_[161]);
    EXPECT_EQ(files_[166], files_[165]);
    // Every other picture is its own: a mix-up in the table would show as two equal files.
    for (auto a = files_.begin(); a != files_.end(); ++a) {
        for (auto b = std::next(a); b != files_.end(); ++b) {
            if (a->first != 162 && a->first != 166 && b->first != 162 && b->first != 166) {
                EXPECT_NE(a->second, b->second) << FileName(b->first) << " repeats " << FileName(a->first);
            }
        }
    }
}

TEST_F(ScreenFiles, DecodeToFullSizePictures) {
    for (const auto& [id, bytes] : files_) {
        SCOPED_TRACE(FileName(id));
        const DecodedJpeg decoded = DecodeJpeg(bytes);
        ASSERT_EQ(decoded.error, "");
        EXPECT_EQ(decoded.width, 480);
        EXPECT_EQ(decoded.height, 272);
        EXPECT_FALSE(decoded.progressive);
        EXPECT_TRUE(decoded.ycbcr);
        ASSERT_EQ(decoded.rgb.size(), 480u * 272u * 3u);
        // A painted screen, not a flat fill: many colours and a real spread of brightness.
        std::set<uint32_t> colours;
        int darkest = 255;
        int brightest = 0;
        for (size_t i = 0; i < decoded.rgb.size(); i += 3) {
            colours.insert(uint32_t{decoded.rgb[i]} << 16 | uint32_t{decoded.rgb[i + 1]} << 8 |
                           decoded.rgb[i + 2]);
            const int luma = (decoded.rgb[i] * 3 + decoded.rgb[i + 1] * 6 + decoded.rgb[i + 2]) / 10;
            darkest = std::min(darkest, luma);
            brightest = std::max(brightest, luma);
        }
        EXPECT_GT(colours.size(), 500u);
        EXPECT_GT(brightest - darkest, 60);
    }
}

}  // namespace
}  // namespace tolven::testing
