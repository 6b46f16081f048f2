// Win32 platform layer: the dialog framework's host over real windows. Modal dialogs come from
// the program's dialog templates (DialogBoxParamW); every message reaches the dialog object's
// message map, and the ones it does not take get the dialog manager's default processing.
#pragma once

#include <windows.h>

#include <vector>

#include "app/framework/dialog_host.h"

namespace tolven::win32 {

class Win32DialogHost final : public IDialogHost {
  public:
    explicit Win32DialogHost(HINSTANCE instance) : instance_(instance) {}

    bool InitCommonControlsEx(uint32_t classes) override;
    intptr_t DoModal(CDialog& dialog, uint32_t templateId, WindowHandle owner) override;
    void EndDialog(WindowHandle dialog, intptr_t result) override;
    intptr_t DefWindowProcW(WindowHandle window, const Message& message) override;
    intptr_t SendMessageW(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) override;

    WindowHandle GetDlgItem(WindowHandle dialog, int32_t controlId) override;
    std::u16string GetWindowTextW(WindowHandle window) override;
    void SetWindowTextW(WindowHandle window, std::u16string_view text) override;
    void EnableWindow(WindowHandle window, bool enable) override;
    bool IsWindowEnabled(WindowHandle window) override;
    bool IsIconic(WindowHandle window) override;
    bool GetWindowRect(WindowHandle window, Rect& rect) override;
    bool GetClientRect(WindowHandle window, Rect& rect) override;
    bool SetWindowPos(WindowHandle window, WindowHandle insertAfter, int32_t x, int32_t y, int32_t cx,
                      int32_t cy, uint32_t flags) override;
    int32_t GetSystemMetrics(int32_t index) override;

    int32_t MessageBoxW(WindowHandle owner, std::u16string_view text, std::u16string_view caption,
                        uint32_t type) override;

    MenuHandle GetSystemMenu(WindowHandle window) override;
    bool AppendMenuW(MenuHandle menu, uint32_t flags, uintptr_t itemId, std::u16string_view text) override;

    std::u16string LoadStringW(uint32_t stringId) override;
    IconHandle LoadIconW(uint32_t iconId) override;

    PaintContext BeginPaint(WindowHandle window) override;
    void EndPaint(WindowHandle window, PaintContext context) override;
    void DrawIcon(PaintContext context, int32_t x, int32_t y, IconHandle icon) override;

    std::unique_ptr<IPanelCanvas> GetPanelCanvas(WindowHandle frame, WindowHandle logEdit) override;

  private:
    struct Painting {
        HWND window;
        PAINTSTRUCT paint;
    };

    HINSTANCE instance_;
    std::vector<Painting> paintings_;  // open BeginPaint calls, innermost last
};

}  // namespace tolven::win32
