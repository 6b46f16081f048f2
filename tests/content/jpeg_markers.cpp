#include "tests/content/jpeg_markers.h"

namespace tolven::testing {
namespace {

class Reader {
  public:
    explicit Reader(std::span<const std::byte> bytes) : bytes_(bytes) {}
    bool Has(size_t count) const { return pos_ + count <= bytes_.size(); }
    uint8_t At(size_t offset) const { return static_cast<uint8_t>(bytes_[pos_ + offset]); }
    int Be16(size_t offset) const { return At(offset) << 8 | At(offset + 1); }
    void Skip(size_t count) { pos_ += count; }
    size_t Left() const { return bytes_.size() - pos_; }

  private:
    std::span<const std::byte> bytes_;
    size_t pos_ = 0;
};

bool IsFrameMarker(uint8_t marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Steps over entropy-coded data up to the next marker that is neither stuffing (FF 00) nor a
// restart marker.
void SkipEntropyData(Reader& in) {
    while (in.Has(2)) {
        if (in.At(0) == 0xFF && in.At(1) != 0x00 && !(in.At(1) >= 0xD0 && in.At(1) <= 0xD7)) {
            return;
        }
        in.Skip(1);
    }
    in.Skip(in.Left());
}

}  // namespace

JpegMarkers WalkJpegMarkers(std::span<const std::byte> file) {
    JpegMarkers out;
    Reader in(file);
    if (!in.Has(2) || in.At(0) != 0xFF || in.At(1) != 0xD8) {
        out.error = "no start-of-image marker";
        return out;
    }
    in.Skip(2);
    while (true) {
        if (!in.Has(2) || in.At(0) != 0xFF) {
            out.error = "expected a marker";
            return out;
        }
        const uint8_t marker = in.At(1);
        out.markers.push_back(marker);
        in.Skip(2);
        if (marker == 0xD9) {
            out.bytesAfterEndOfImage = in.Left();
            return out;
        }
        if (!in.Has(2) || in.Be16(0) < 2 || !in.Has(static_cast<size_t>(in.Be16(0)))) {
            out.error = "segment runs past the end";
            return out;
        }
        const size_t length = static_cast<size_t>(in.Be16(0));
        if (marker == 0xE0 && length >= 16 && in.At(2) == 'J' && in.At(3) == 'F' && in.At(4) == 'I' &&
            in.At(5) == 'F' && in.At(6) == 0) {
            out.jfifMajor = in.At(7);
            out.jfifMinor = in.At(8);
        } else if (IsFrameMarker(marker) && length >= 8) {
            out.frameType = marker;
            out.precision = in.At(2);
            out.height = in.Be16(3);
            out.width = in.Be16(5);
            const int count = in.At(7);
            for (int i = 0; i < count && 8 + 3 * static_cast<size_t>(i) + 2 < length; ++i) {
                out.components.push_back({in.At(8 + 3 * i), in.At(9 + 3 * i)});
            }
        } else if (marker == 0xDA && length >= 3) {
            if (++out.scans == 1) {
                out.componentsInFirstScan = in.At(2);
            }
        }
        in.Skip(length);
        if (marker == 0xDA) {
            SkipEntropyData(in);
        }
    }
}

}  // namespace tolven::testing
