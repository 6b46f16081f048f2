// The walker is what the screen file checks rely on: it must find every segment, step over
// entropy-coded data correctly and notice bytes after the end or a cut-off file.
#include "tests/tools/jpeg_marker_walker.h"

#include <gtest/gtest.h>

#include <vector>

namespace tolven::testing {
namespace {

std::vector<uint8_t> Markers(const std::vector<uint8_t>& entropy_data) {
    std::vector<uint8_t> bytes = {0xFF, 0xD8,                                      // SOI
                                  0xFF, 0xE0, 0x00, 0x07, 'J',  'F', 'I', 'F', 0,  // APP0
                                  0xFF, 0xDA, 0x00, 0x04, 0x01, 0x02};             // SOS
    for (uint8_t byte : entropy_data) {
        bytes.push_back(byte);
    }
    bytes.push_back(0xFF);
    bytes.push_back(kEoi);
    return bytes;
}

std::vector<uint8_t> MarkerList(const JpegWalk& walk) {
    std::vector<uint8_t> list;
    for (const JpegSegment& segment : walk.segments) {
        list.push_back(segment.marker);
    }
    return list;
}

TEST(JpegMarkerWalker, StepsOverStuffedBytesAndRestartsInsideTheScan) {
    const std::vector<uint8_t> bytes =
        Markers({0x12, 0xFF, 0x00, 0x34, 0xFF, 0xD0, 0x56, 0xFF, 0xD7, 0xFF, 0xFF});
    const JpegWalk walk = WalkJpeg(bytes);
    ASSERT_EQ(walk.error, "");
    EXPECT_EQ(MarkerList(walk), (std::vector<uint8_t>{kSoi, kApp0, kSos, kEoi}));
    EXPECT_EQ(walk.end, bytes.size());
    EXPECT_EQ(walk.segments[1].payload, (std::vector<uint8_t>{'J', 'F', 'I', 'F', 0}));
}

TEST(JpegMarkerWalker, StopsAtTheFirstEndOfImageAndReportsWhereItIs) {
    std::vector<uint8_t> bytes = Markers({0x01});
    const size_t size = bytes.size();
    for (uint8_t byte : {0x00, 0xFF, 0xD9}) {
        bytes.push_back(byte);
    }
    const JpegWalk walk = WalkJpeg(bytes);
    ASSERT_EQ(walk.error, "");
    EXPECT_EQ(walk.end, size);
}

TEST(JpegMarkerWalker, ReportsDamagedFiles) {
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    std::vector<uint8_t> cut = Markers({0x01, 0x02});
    cut.resize(cut.size() - 2);
    const std::vector<Case> cases = {
        {"empty", {}},
        {"no start-of-image", {0xFF, 0xE0, 0x00, 0x02, 0xFF, 0xD9}},
        {"cut off in the scan", cut},
        {"segment longer than the file", {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x40, 'J', 0xFF, 0xD9}},
        {"length below two", {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x01, 0xFF, 0xD9}},
        {"junk between segments", {0xFF, 0xD8, 0x00, 0xFF, 0xD9}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NE(WalkJpeg(c.bytes).error, "");
    }
}

TEST(JpegMarkerWalker, KnowsWhichMarkersStartAFrame) {
    EXPECT_TRUE(IsStartOfFrame(0xC0));
    EXPECT_TRUE(IsStartOfFrame(0xC2));
    EXPECT_TRUE(IsStartOfFrame(0xC9));
    EXPECT_FALSE(IsStartOfFrame(kDht));
    EXPECT_FALSE(IsStartOfFrame(kDac));
    EXPECT_FALSE(IsStartOfFrame(kSos));
}

}  // namespace
}  // namespace tolven::testing
