// Decodes a JPEG file with libjpeg-turbo into 8-bit RGB, reporting errors instead of exiting.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tolven::testing {

struct DecodedJpeg {
    int width = 0;
    int height = 0;
    bool progressive = false;
    bool ycbcr = false;        // the file's colour space as the library reads it
    std::vector<uint8_t> rgb;  // rows from the top, R G B per pixel
    std::string error;         // the library's message when decoding failed
};

DecodedJpeg DecodeJpeg(std::span<const uint8_t> bytes);

}  // namespace tolven::testing
