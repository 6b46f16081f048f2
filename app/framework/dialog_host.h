// The one interface between the dialog framework and a window system. The Win32 host implements it
// over real windows, the Linux terminal host over the terminal, the tests' host in memory. The
// framework classes (CWinApp, CDialog, the controls) call nothing else.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "app/framework/window_messages.h"
#include "device/panel_canvas.h"

namespace tolven {

class CDialog;

class IDialogHost {
  public:
    virtual ~IDialogHost() = default;

    // Start-up: InitCommonControlsEx with the given class set.
    virtual bool InitCommonControlsEx(uint32_t classes) = 0;

    // Creates the dialog window from template templateId (owned by owner, or none), attaches it
    // to dialog (dialog.Attach), delivers WM_INITDIALOG and then every message of the modal loop
    // through dialog.OnWndMsg, giving the default processing to the ones it does not handle, until
    // EndDialog. Detaches and destroys the window, then returns the EndDialog result; -1 when the
    // window cannot be created. Modal loops nest: a message box or a second dialog opened from a
    // handler keeps dispatching the owner's messages.
    virtual intptr_t DoModal(CDialog& dialog, uint32_t templateId, WindowHandle owner) = 0;
    // Ends the modal loop of the dialog window after the current message.
    virtual void EndDialog(WindowHandle dialog, intptr_t result) = 0;
    // The window's default processing of a message (DefWindowProcW / the dialog manager's). A host
    // whose dialog manager processes every message the dialog declines may instead decline the
    // message being handled once its handler returns; the dialog manager's result then stands for
    // the message, and this returns 0.
    virtual intptr_t DefWindowProcW(WindowHandle window, const Message& message) = 0;
    // Synchronous delivery: to a dialog through its message map, to a control by its class.
    virtual intptr_t SendMessageW(WindowHandle window, uint32_t message, uintptr_t wParam,
                                  intptr_t lParam) = 0;

    // Controls and windows.
    virtual WindowHandle GetDlgItem(WindowHandle dialog, int32_t controlId) = 0;
    virtual std::u16string GetWindowTextW(WindowHandle window) = 0;
    virtual void SetWindowTextW(WindowHandle window, std::u16string_view text) = 0;
    virtual void EnableWindow(WindowHandle window, bool enable) = 0;
    virtual bool IsWindowEnabled(WindowHandle window) = 0;
    virtual bool IsIconic(WindowHandle window) = 0;
    virtual bool GetWindowRect(WindowHandle window, Rect& rect) = 0;  // screen coordinates
    virtual bool GetClientRect(WindowHandle window, Rect& rect) = 0;
    virtual bool SetWindowPos(WindowHandle window, WindowHandle insertAfter, int32_t x, int32_t y, int32_t cx,
                              int32_t cy, uint32_t flags) = 0;
    virtual int32_t GetSystemMetrics(int32_t index) = 0;

    // MessageBoxW semantics: the owner's modal box; returns the pressed button's id (kIdYes, ...).
    virtual int32_t MessageBoxW(WindowHandle owner, std::u16string_view text, std::u16string_view caption,
                                uint32_t type) = 0;

    // The window's system menu (GetSystemMenu(window, FALSE)); 0 when it has none.
    virtual MenuHandle GetSystemMenu(WindowHandle window) = 0;
    virtual bool AppendMenuW(MenuHandle menu, uint32_t flags, uintptr_t itemId, std::u16string_view text) = 0;

    // Resources of the program: the string table and the icons. Empty text / 0 when missing.
    virtual std::u16string LoadStringW(uint32_t stringId) = 0;
    virtual IconHandle LoadIconW(uint32_t iconId) = 0;

    // Painting of the window itself (BeginPaint/EndPaint validate its update region).
    virtual PaintContext BeginPaint(WindowHandle window) = 0;
    virtual void EndPaint(WindowHandle window, PaintContext context) = 0;
    virtual void DrawIcon(PaintContext context, int32_t x, int32_t y, IconHandle icon) = 0;

    // A device context on the client area of a static control (GetDC/ReleaseDC on destruction).
    // The canvas's UpdateWindow repaints that control or the companion log control.
    virtual std::unique_ptr<IPanelCanvas> GetPanelCanvas(WindowHandle frame, WindowHandle logEdit) = 0;
};

}  // namespace tolven
