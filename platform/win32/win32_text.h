// Win32 platform layer: conversions between the core's UTF-16 (char16_t) texts and the wide
// (wchar_t) and 8-bit texts of the Win32 calls. Only platform/win32 includes <windows.h>.
#pragma once

#include <string>
#include <string_view>

namespace tolven::win32 {

// wchar_t is 16 bits wide on Windows: the code units are copied unchanged.
std::wstring ToWide(std::u16string_view text);
std::u16string FromWide(std::wstring_view text);

// An 8-bit text widened with the ANSI code page of the current thread's locale.
std::u16string WidenThreadAnsi(std::string_view text);

}  // namespace tolven::win32
