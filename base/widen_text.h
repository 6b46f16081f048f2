// 8-bit text to UTF-16 byte for byte: ASCII stays ASCII and bytes above 0x7F are taken as
// Latin-1, the same text whatever the system's code page is. For the formatter's ASCII log lines
// and for hosts whose device texts carry no code page of their own.
#pragma once

#include <string>
#include <string_view>

namespace tolven {

inline std::u16string WidenByteForByte(std::string_view text) {
    std::u16string wide;
    wide.reserve(text.size());
    for (char c : text) {
        wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    }
    return wide;
}

}  // namespace tolven
