#include "tests/tools/jpeg_marker_walker.h"

namespace tolven::testing {

namespace {

bool IsRestart(uint8_t marker) {
    return marker >= 0xD0 && marker <= 0xD7;
}

}  // namespace

bool IsStartOfFrame(uint8_t marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != kDht && marker != 0xC8 && marker != kDac;
}

JpegWalk WalkJpeg(std::span<const uint8_t> bytes) {
    JpegWalk walk;
    if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != kSoi) {
        walk.error = "no start-of-image marker at offset 0";
        return walk;
    }
    walk.segments.push_back({kSoi, {}});
    size_t at = 2;
    while (true) {
        if (at + 2 > bytes.size()) {
            walk.error = "file ends before end-of-image at offset " + std::to_string(at);
            return walk;
        }
        if (bytes[at] != 0xFF) {
            walk.error = "expected a marker at offset " + std::to_string(at);
            return walk;
        }
        const size_t start = at;
        while (at < bytes.size() && bytes[at] == 0xFF) {  // fill bytes may pad a marker
            ++at;
        }
        if (at >= bytes.size()) {
            walk.error = "file ends inside a marker";
            return walk;
        }
        const uint8_t marker = bytes[at++];
        if (marker == kEoi) {
            walk.segments.push_back({kEoi, {}});
            walk.end = at;
            return walk;
        }
        if (marker == kSoi || IsRestart(marker) || marker == 0x00) {
            walk.error = "unexpected marker outside a scan at offset " + std::to_string(start);
            return walk;
        }
        if (at + 2 > bytes.size()) {
            walk.error = "file ends inside a segment length";
            return walk;
        }
        const size_t length = static_cast<size_t>(bytes[at]) << 8 | bytes[at + 1];
        if (length < 2 || at + length > bytes.size()) {
            walk.error = "segment length " + std::to_string(length) + " runs past the file at offset " +
                         std::to_string(start);
            return walk;
        }
        walk.segments.push_back({marker,
                                 {bytes.begin() + static_cast<std::ptrdiff_t>(at + 2),
                                  bytes.begin() + static_cast<std::ptrdiff_t>(at + length)}});
        at += length;
        if (marker != kSos) {
            continue;
        }
        // Entropy-coded data runs to the next marker that is neither stuffing nor a restart.
        while (at + 1 < bytes.size() && !(bytes[at] == 0xFF && bytes[at + 1] != 0x00 &&
                                          bytes[at + 1] != 0xFF && !IsRestart(bytes[at + 1]))) {
            ++at;
        }
    }
}

}  // namespace tolven::testing
