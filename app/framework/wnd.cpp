#include "app/framework/wnd.h"

namespace tolven {

bool CMenu::AppendMenuW(uint32_t flags, uintptr_t itemId, std::u16string_view text) {
    return m_host->AppendMenuW(m_hMenu, flags, itemId, text);
}

void CWnd::Attach(IDialogHost& host, WindowHandle window) {
    m_host = &host;
    m_hWnd = window;
}

void CWnd::Detach() {
    m_host = nullptr;
    m_hWnd = 0;
}

bool CWnd::OnWndMsg(const Message& message, intptr_t& result) {
    const MessageMapEntry* entry = FindMessageEntry(GetMessageMap(), message);
    if (entry == nullptr) {
        return false;
    }
    // Handlers may open modal loops that dispatch further messages to this window: keep the
    // message that Default() refers to per nesting level.
    const Message* outer = m_currentMessage;
    m_currentMessage = &message;
    result = entry->handler(*this, message);
    m_currentMessage = outer;
    return true;
}

intptr_t CWnd::Default() {
    if (m_host == nullptr || m_currentMessage == nullptr) {
        return 0;
    }
    return m_host->DefWindowProcW(m_hWnd, *m_currentMessage);
}

intptr_t CWnd::SendMessageW(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return m_host != nullptr ? m_host->SendMessageW(m_hWnd, message, wParam, lParam) : 0;
}

std::u16string CWnd::GetWindowTextW() const {
    return m_host != nullptr ? m_host->GetWindowTextW(m_hWnd) : std::u16string();
}

void CWnd::SetWindowTextW(std::u16string_view text) {
    if (m_host != nullptr) {
        m_host->SetWindowTextW(m_hWnd, text);
    }
}

void CWnd::EnableWindow(bool enable) {
    if (m_host != nullptr) {
        m_host->EnableWindow(m_hWnd, enable);
    }
}

bool CWnd::IsWindowEnabled() const {
    return m_host != nullptr && m_host->IsWindowEnabled(m_hWnd);
}

bool CWnd::IsIconic() const {
    return m_host != nullptr && m_host->IsIconic(m_hWnd);
}

bool CWnd::GetWindowRect(Rect& rect) const {
    return m_host != nullptr && m_host->GetWindowRect(m_hWnd, rect);
}

bool CWnd::GetClientRect(Rect& rect) const {
    return m_host != nullptr && m_host->GetClientRect(m_hWnd, rect);
}

bool CWnd::SetWindowPos(WindowHandle insertAfter, int32_t x, int32_t y, int32_t cx, int32_t cy,
                        uint32_t flags) {
    return m_host != nullptr && m_host->SetWindowPos(m_hWnd, insertAfter, x, y, cx, cy, flags);
}

IconHandle CWnd::SetIcon(IconHandle icon, bool bigIcon) {
    return static_cast<IconHandle>(
        SendMessageW(kWmSetIcon, bigIcon ? kIconBig : kIconSmall, static_cast<intptr_t>(icon)));
}

int32_t CWnd::MessageBoxW(std::u16string_view text, std::u16string_view caption, uint32_t type) {
    return m_host != nullptr ? m_host->MessageBoxW(m_hWnd, text, caption, type) : 0;
}

std::optional<CMenu> CWnd::GetSystemMenu() {
    if (m_host == nullptr) {
        return std::nullopt;
    }
    const MenuHandle menu = m_host->GetSystemMenu(m_hWnd);
    if (menu == 0) {
        return std::nullopt;
    }
    return CMenu(*m_host, menu);
}

int32_t CWnd::GetSystemMetrics(int32_t index) const {
    return m_host != nullptr ? m_host->GetSystemMetrics(index) : 0;
}

void CWnd::OnPaint() {
    if (m_host != nullptr) {
        const PaintContext context = m_host->BeginPaint(m_hWnd);
        m_host->EndPaint(m_hWnd, context);
    }
}

void CWnd::OnSysCommand(uint32_t, intptr_t) {
    Default();
}

intptr_t CWnd::OnDeviceChange(uint32_t, uintptr_t) {
    return Default();
}

}  // namespace tolven
