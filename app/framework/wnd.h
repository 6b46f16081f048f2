// CWnd: a window of the dialog framework, a handle and the host that owns it, with the window
// calls the program makes and the message dispatch through the class's static message map.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/framework/dialog_host.h"
#include "app/framework/message_map.h"
#include "app/framework/window_messages.h"
#include "device/panel_canvas.h"

namespace tolven {

// A menu of a window (only the system menu is ever used).
class CMenu {
  public:
    CMenu(IDialogHost& host, MenuHandle menu) : m_host(&host), m_hMenu(menu) {}
    bool AppendMenuW(uint32_t flags, uintptr_t itemId = 0, std::u16string_view text = {});

  private:
    IDialogHost* m_host;
    MenuHandle m_hMenu;
};

class CWnd {
  public:
    CWnd() = default;
    virtual ~CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Binding to a window of a host; a detached CWnd has no host and handle 0.
    void Attach(IDialogHost& host, WindowHandle window);
    void Detach();
    WindowHandle GetSafeHwnd() const { return m_hWnd; }
    IDialogHost* GetHost() const { return m_host; }

    // Dispatches one message through the message map; false when no entry (and no built-in
    // handling of the class) took it, so that the host gives it its default processing.
    virtual bool OnWndMsg(const Message& message, intptr_t& result);
    // The default processing of the message being handled (0 outside any message, and where the
    // host gives it after the handler: see IDialogHost::DefWindowProcW).
    intptr_t Default();

    // Window calls, forwarded to the host. On a detached window they do nothing and report
    // failure or emptiness.
    intptr_t SendMessageW(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0);
    std::u16string GetWindowTextW() const;
    void SetWindowTextW(std::u16string_view text);
    void EnableWindow(bool enable);
    bool IsWindowEnabled() const;
    bool IsIconic() const;
    bool GetWindowRect(Rect& rect) const;
    bool GetClientRect(Rect& rect) const;
    bool SetWindowPos(WindowHandle insertAfter, int32_t x, int32_t y, int32_t cx, int32_t cy, uint32_t flags);
    IconHandle SetIcon(IconHandle icon, bool bigIcon);  // WM_SETICON; returns the previous icon
    int32_t MessageBoxW(std::u16string_view text, std::u16string_view caption, uint32_t type);
    std::optional<CMenu> GetSystemMenu();
    int32_t GetSystemMetrics(int32_t index) const;

  protected:
    virtual const MessageMap* GetMessageMap() const { return nullptr; }

    // Base handlers that derived classes replace in their maps; they give the message its default
    // processing. OnPaint only validates the window (begin and end painting).
    void OnPaint();
    void OnSysCommand(uint32_t commandId, intptr_t param);
    intptr_t OnDeviceChange(uint32_t eventType, uintptr_t eventData);

  private:
    IDialogHost* m_host = nullptr;
    WindowHandle m_hWnd = 0;
    const Message* m_currentMessage = nullptr;  // for Default(); restored after nested dispatch
};

}  // namespace tolven
