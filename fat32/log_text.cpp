#include "fat32/log_text.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "base/widen_text.h"

namespace tolven {

std::u16string FormatAsciiLine(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length <= 0) {
        va_end(args);
        return std::u16string();
    }
    std::vector<char> text(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(text.data(), text.size(), format, args);
    va_end(args);
    return WidenByteForByte(std::string_view(text.data(), static_cast<std::size_t>(length)));
}

}  // namespace tolven
