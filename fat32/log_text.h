// printf-style log lines for the formatter. The numbers are formatted as 8-bit ASCII with the C
// library's printf rules (so "%g" and "%x" behave exactly as they always have) and then widened
// to UTF-16 for the status log.
#pragma once

#include <string>
#include <string_view>

namespace tolven {

// snprintf into a UTF-16 line. Only ASCII formats and arguments belong here.
#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
std::u16string
FormatAsciiLine(const char* format, ...);

}  // namespace tolven
