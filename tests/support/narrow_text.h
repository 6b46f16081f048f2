// Test helper: UTF-16 text as a std::string for failure messages, traces and recorded calls.
#pragma once

#include <string>
#include <string_view>

namespace tolven::testing {

// ASCII characters as they are, every other character as '?'.
std::string Narrow(std::u16string_view text);

}  // namespace tolven::testing
