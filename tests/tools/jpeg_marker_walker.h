// Walks the marker segments of a JPEG file the way a strict reader would, so tests can check which
// segments a picture carries and that nothing follows its end-of-image marker.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tolven::testing {

inline constexpr uint8_t kSoi = 0xD8;
inline constexpr uint8_t kEoi = 0xD9;
inline constexpr uint8_t kSos = 0xDA;
inline constexpr uint8_t kDqt = 0xDB;
inline constexpr uint8_t kDht = 0xC4;
inline constexpr uint8_t kDac = 0xCC;
inline constexpr uint8_t kSof0 = 0xC0;
inline constexpr uint8_t kApp0 = 0xE0;

struct JpegSegment {
    uint8_t marker = 0;
    std::vector<uint8_t> payload;  // the bytes after the length field; empty for SOI and EOI
};

struct JpegWalk {
    std::vector<JpegSegment> segments;  // SOI first; EOI last when the walk succeeded
    size_t end = 0;                     // offset just after EOI
    std::string error;                  // empty when the file walked cleanly up to EOI
};

// Stops at the first EOI; entropy-coded data after SOS is skipped over stuffed bytes (FF 00) and
// restart markers.
JpegWalk WalkJpeg(std::span<const uint8_t> bytes);

// Start-of-frame markers of every coding process (C0..CF without DHT, JPG and DAC).
bool IsStartOfFrame(uint8_t marker);

}  // namespace tolven::testing
