// A small walker over a JPEG file's markers, enough to check the screens' form: where the
// segments are and what the JFIF header, the frame header and the scans say.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tolven::testing {

struct JpegComponent {
    int id = 0;
    int sampling = 0;  // high nibble horizontal, low nibble vertical
};

struct JpegMarkers {
    std::string error;             // empty when the walk reached the end-of-image marker
    std::vector<uint8_t> markers;  // every marker after SOI in file order, EOI included
    int jfifMajor = -1;
    int jfifMinor = -1;
    uint8_t frameType = 0;  // 0xC0 for baseline
    int precision = 0;
    int width = 0;
    int height = 0;
    std::vector<JpegComponent> components;
    int scans = 0;
    int componentsInFirstScan = 0;
    size_t bytesAfterEndOfImage = 0;
};

JpegMarkers WalkJpegMarkers(std::span<const std::byte> file);

}  // namespace tolven::testing
