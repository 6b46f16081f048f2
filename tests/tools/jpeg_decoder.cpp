#include "tests/tools/jpeg_decoder.h"

#include <csetjmp>
#include <cstddef>
#include <cstdio>

// After <cstdio>: the library's header uses FILE and size_t without declaring them.
#include <jpeglib.h>

#include "tools/screens/jpeg_error_trap.h"

namespace tolven::testing {

namespace {

using screens::ArmJpegErrorTrap;
using screens::JpegErrorTrap;

// Only plain C data lives between setjmp and a possible longjmp; the caller's vector is sized
// before the rows are read and never reallocated here.
bool Decompress(std::span<const uint8_t> bytes, JpegErrorTrap& trap, DecodedJpeg& out) {
    jpeg_decompress_struct info{};
    info.err = ArmJpegErrorTrap(trap);
    if (setjmp(trap.jump) != 0) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    out.progressive = info.progressive_mode != 0;
    out.ycbcr = info.jpeg_color_space == JCS_YCbCr;
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    out.width = static_cast<int>(info.output_width);
    out.height = static_cast<int>(info.output_height);
    const size_t stride =
        static_cast<size_t>(info.output_width) * static_cast<size_t>(info.output_components);
    out.rgb.assign(stride * info.output_height, 0);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out.rgb.data() + static_cast<size_t>(info.output_scanline) * stride;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

}  // namespace

DecodedJpeg DecodeJpeg(std::span<const uint8_t> bytes) {
    DecodedJpeg decoded;
    JpegErrorTrap trap{};
    if (bytes.empty()) {
        decoded.error = "no bytes";
        return decoded;
    }
    if (!Decompress(bytes, trap, decoded)) {
        decoded.error = trap.message;
        decoded.rgb.clear();
    }
    return decoded;
}

}  // namespace tolven::testing
