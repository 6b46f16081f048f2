// Linux host, terminal: removing control text before it reaches a terminal or a JSON document.
#include "platform/linux/terminal/safe_text.h"

#include <cstdint>
#include <cstdio>

namespace tolven::linux_host {

namespace {

// The length of the well-formed UTF-8 sequence at `i` (1 to 4) and its code point; 0 when the
// bytes there are not one (stray continuation, overlong form, surrogate, beyond U+10FFFF, cut).
std::size_t DecodeUtf8(std::string_view text, std::size_t i, uint32_t& codePoint) {
    const auto byte = [&](std::size_t k) { return static_cast<uint8_t>(text[k]); };
    const uint8_t lead = byte(i);
    std::size_t length = 0;
    uint32_t minimum = 0;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1Fu;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0Fu;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07u;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            return 0;
        }
        codePoint = (codePoint << 6) | (byte(i + k) & 0x3Fu);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        return 0;
    }
    return length;
}

bool IsControl(uint32_t codePoint) {
    return codePoint < 0x20 || codePoint == 0x7F || (codePoint >= 0x80 && codePoint <= 0x9F);
}

}  // namespace

std::string TerminalSafe(std::string_view text, bool keepLineBreaks) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        uint32_t codePoint = 0;
        const std::size_t length = DecodeUtf8(text, i, codePoint);
        if (length == 0) {
            out += '?';
            ++i;
            continue;
        }
        if (IsControl(codePoint) && !(keepLineBreaks && codePoint == '\n')) {
            out += '?';
        } else {
            out.append(text, i, length);
        }
        i += length;
    }
    return out;
}

std::u16string TerminalSafe(std::u16string_view text, bool keepLineBreaks) {
    const auto isHigh = [](char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; };
    const auto isLow = [](char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; };
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (isHigh(unit) && i + 1 < text.size() && isLow(text[i + 1])) {
            out += unit;
            out += text[++i];
        } else if (isHigh(unit) || isLow(unit) || (IsControl(unit) && !(keepLineBreaks && unit == u'\n'))) {
            out += u'?';
        } else {
            out += unit;
        }
    }
    return out;
}

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        uint32_t codePoint = 0;
        const std::size_t length = DecodeUtf8(text, i, codePoint);
        if (length == 0) {
            out += "\xEF\xBF\xBD";  // U+FFFD
            ++i;
            continue;
        }
        switch (codePoint) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (IsControl(codePoint)) {
                    char escape[8];
                    std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(codePoint));
                    out += escape;
                } else {
                    out.append(text, i, length);
                }
        }
        i += length;
    }
    out += '"';
    return out;
}

}  // namespace tolven::linux_host
