#include "tools/screens/jfif_encoder.h"

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

// After <cstdio>: the library's header uses FILE and size_t without declaring them.
#include <jpeglib.h>

#include "tools/screens/jpeg_error_trap.h"

namespace tolven::screens {

namespace {

// Everything between setjmp and a possible longjmp is plain C data, so no destructor is skipped.
bool Compress(const RgbCanvas& canvas, int quality, JpegErrorTrap& trap, unsigned char** out,
              unsigned long* size) {
    jpeg_compress_struct info{};
    info.err = ArmJpegErrorTrap(trap);
    if (setjmp(trap.jump) != 0) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, out, size);
    info.image_width = static_cast<JDIMENSION>(canvas.width());
    info.image_height = static_cast<JDIMENSION>(canvas.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_colorspace(&info, JCS_YCbCr);
    jpeg_set_quality(&info, quality, TRUE);  // TRUE keeps the tables baseline-compatible
    for (int c = 0; c < info.num_components; ++c) {
        info.comp_info[c].h_samp_factor = 1;
        info.comp_info[c].v_samp_factor = 1;
    }
    info.write_JFIF_header = TRUE;
    info.JFIF_major_version = 1;
    info.JFIF_minor_version = 2;
    info.arith_code = FALSE;
    info.optimize_coding = TRUE;   // per-picture Huffman tables: smaller files, still baseline
    info.dct_method = JDCT_ISLOW;  // the integer transform: the same bytes on every machine
    jpeg_start_compress(&info, TRUE);
    const int stride = canvas.width() * 3;
    while (info.next_scanline < info.image_height) {
        // The library takes a non-const row pointer but only reads it.
        JSAMPROW row = const_cast<JSAMPROW>(canvas.pixels().data() + static_cast<size_t>(info.next_scanline) *
                                                                         static_cast<size_t>(stride));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

}  // namespace

std::vector<uint8_t> EncodeJfif(const RgbCanvas& canvas, int quality) {
    JpegErrorTrap trap{};
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const bool ok = Compress(canvas, quality, trap, &buffer, &size);
    std::vector<uint8_t> bytes;
    if (ok && buffer != nullptr) {
        bytes.assign(buffer, buffer + size);
    }
    std::free(buffer);
    if (!ok) {
        throw std::runtime_error(std::string("JPEG encoding failed: ") + trap.message);
    }
    return bytes;
}

}  // namespace tolven::screens
