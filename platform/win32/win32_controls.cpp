// Win32 platform layer: edit control, progress bar and button over their window handles.
#include "platform/win32/win32_controls.h"

#include <string>

#include "platform/win32/win32_text.h"

namespace tolven::win32 {

std::u16string Win32LogControl::GetWindowTextW() const {
    const int length = GetWindowTextLengthW(edit_);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(edit_, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return FromWide(text);
}

void Win32LogControl::SetWindowTextW(std::u16string_view text) {
    ::SetWindowTextW(edit_, ToWide(text).c_str());
}

int32_t Win32LogControl::GetLineCount() const {
    return static_cast<int32_t>(::SendMessageW(edit_, EM_GETLINECOUNT, 0, 0));
}

void Win32LogControl::LineScroll(int32_t chars, int32_t lines) {
    ::SendMessageW(edit_, EM_LINESCROLL, static_cast<WPARAM>(chars), static_cast<LPARAM>(lines));
}

intptr_t Win32ProgressControl::SendMessageW(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return ::SendMessageW(progress_, message, wParam, lParam);
}

void Win32Button::EnableWindow(bool enable) {
    ::EnableWindow(button_, enable ? TRUE : FALSE);
}

}  // namespace tolven::win32
