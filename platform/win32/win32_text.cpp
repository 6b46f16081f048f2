// Win32 platform layer: text conversions for the Win32 calls.
#include "platform/win32/win32_text.h"

#include <windows.h>

#include <climits>

namespace tolven::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 code units");

std::wstring ToWide(std::u16string_view text) {
    std::wstring wide(text.size(), L'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        wide[i] = static_cast<wchar_t>(text[i]);
    }
    return wide;
}

std::u16string FromWide(std::wstring_view text) {
    std::u16string utf16(text.size(), u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        utf16[i] = static_cast<char16_t>(text[i]);
    }
    return utf16;
}

std::u16string WidenThreadAnsi(std::string_view text) {
    if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX)) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), length, nullptr, 0);
    if (needed <= 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), length, wide.data(), needed);
    return FromWide(wide);
}

}  // namespace tolven::win32
