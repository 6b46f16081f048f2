#include "tools/font/unifont_hex.h"

#include <stdexcept>

namespace tolven::font {
namespace {

int HexDigitValue(char ch) {
    if (ch >= '0' && ch <= '9') {
        return ch - '0';
    }
    if (ch >= 'A' && ch <= 'F') {
        return ch - 'A' + 10;
    }
    if (ch >= 'a' && ch <= 'f') {
        return ch - 'a' + 10;
    }
    return -1;
}

// Parses hex digits [begin, begin + count) of text; -1 when one of them is not a hex digit.
int64_t ParseHex(const std::string& text, size_t begin, size_t count) {
    int64_t value = 0;
    for (size_t i = begin; i < begin + count; ++i) {
        const int digit = HexDigitValue(text[i]);
        if (digit < 0) {
            return -1;
        }
        value = value * 16 + digit;
    }
    return value;
}

}  // namespace

UnifontGlyphs ReadUnifontHex(std::istream& in) {
    UnifontGlyphs glyphs;
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty()) {
            continue;
        }
        const auto fail = [&](const char* what) {
            throw std::runtime_error("line " + std::to_string(lineNumber) + ": " + what);
        };
        const size_t colon = line.find(':');
        if (colon == std::string::npos || colon == 0 || colon > 6) {
            fail("expected a code point and a colon");
        }
        const int64_t code = ParseHex(line, 0, colon);
        if (code < 0) {
            fail("code point is not hexadecimal");
        }
        const size_t digits = line.size() - colon - 1;
        if (digits != 32 && digits != 64) {
            fail("glyph must have 32 or 64 hex digits");
        }
        if (code > 0xFFFF) {
            continue;  // beyond the Basic Multilingual Plane: no UTF-16 code unit
        }
        UnifontGlyph glyph;
        glyph.width = digits == 32 ? 8 : 16;
        const size_t rowDigits = digits / 16;
        for (size_t row = 0; row < 16; ++row) {
            const int64_t bits = ParseHex(line, colon + 1 + row * rowDigits, rowDigits);
            if (bits < 0) {
                fail("glyph row is not hexadecimal");
            }
            glyph.rows[row] = static_cast<uint16_t>(glyph.width == 8 ? bits << 8 : bits);
        }
        if (!glyphs.emplace(static_cast<uint32_t>(code), glyph).second) {
            fail("code point appears twice");
        }
    }
    return glyphs;
}

}  // namespace tolven::font
