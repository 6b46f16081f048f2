// Win32 platform layer: the dialog framework's host over real windows.
#include "platform/win32/win32_dialog_host.h"

#include <commctrl.h>

#include <algorithm>

#include "app/framework/dialog.h"
#include "platform/win32/win32_panel_canvas.h"
#include "platform/win32/win32_text.h"

namespace tolven::win32 {

namespace {

HWND ToHwnd(WindowHandle window) {
    return reinterpret_cast<HWND>(window);
}
WindowHandle FromHwnd(HWND window) {
    return reinterpret_cast<WindowHandle>(window);
}

// One running modal dialog: the object its messages go to, and whether the handler of the
// message being dispatched asked for the default processing. The dialog procedure then declines
// the message, and the dialog manager, which called it, gives the default processing itself.
struct ModalDialog {
    Win32DialogHost* host = nullptr;
    CDialog* dialog = nullptr;
    HWND window = nullptr;
    bool defaultRequested = false;
};

// The dialogs of the running modal loops, innermost last. Only their windows carry a
// ModalDialog in DWLP_USER; any other window's extra bytes are not ours to read.
std::vector<ModalDialog*>& RunningDialogs() {
    static std::vector<ModalDialog*> dialogs;
    return dialogs;
}

ModalDialog* RunningDialogOf(HWND window) {
    for (ModalDialog* modal : RunningDialogs()) {
        if (modal->window == window) {
            return modal;
        }
    }
    return nullptr;
}

ModalDialog* ModalOf(HWND window) {
    return reinterpret_cast<ModalDialog*>(GetWindowLongPtrW(window, DWLP_USER));
}

// A few messages return their result from the dialog procedure itself; every other handled
// message returns TRUE and leaves its result in DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) {
    switch (message) {
        case WM_INITDIALOG:
        case WM_QUERYDRAGICON:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
            return true;
        default:
            return false;
    }
}

INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* modal = reinterpret_cast<ModalDialog*>(lParam);
        modal->window = window;
        SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(modal));
        modal->dialog->Attach(*modal->host, FromHwnd(window));
    }
    ModalDialog* modal = ModalOf(window);
    if (modal == nullptr) {
        return FALSE;  // messages before WM_INITDIALOG (WM_SETFONT) and after the end
    }
    // Handlers may open modal loops that dispatch further messages here: one request per message.
    const bool outerRequested = modal->defaultRequested;
    modal->defaultRequested = false;
    intptr_t result = 0;
    const Message delivered{message, wParam, lParam};
    const bool handled = modal->dialog->OnWndMsg(delivered, result);
    const bool declined = !handled || modal->defaultRequested;
    modal->defaultRequested = outerRequested;
    if (declined) {
        return FALSE;  // the dialog manager's default processing follows, and gives the result
    }
    if (ReturnsResultDirectly(message)) {
        return static_cast<INT_PTR>(result);
    }
    SetWindowLongPtrW(window, DWLP_MSGRESULT, static_cast<LONG_PTR>(result));
    return TRUE;
}

}  // namespace

bool Win32DialogHost::InitCommonControlsEx(uint32_t classes) {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;  // 8 bytes
    controls.dwICC = classes;
    return ::InitCommonControlsEx(&controls) != FALSE;
}

intptr_t Win32DialogHost::DoModal(CDialog& dialog, uint32_t templateId, WindowHandle owner) {
    ModalDialog modal{this, &dialog, nullptr, false};
    RunningDialogs().push_back(&modal);
    const INT_PTR result = DialogBoxParamW(instance_, MAKEINTRESOURCEW(templateId), ToHwnd(owner),
                                           DialogProcedure, reinterpret_cast<LPARAM>(&modal));
    RunningDialogs().erase(std::find(RunningDialogs().begin(), RunningDialogs().end(), &modal));
    dialog.Detach();
    return static_cast<intptr_t>(result);
}

void Win32DialogHost::EndDialog(WindowHandle dialog, intptr_t result) {
    ::EndDialog(ToHwnd(dialog), result);
}

intptr_t Win32DialogHost::DefWindowProcW(WindowHandle window, const Message& message) {
    HWND hwnd = ToHwnd(window);
    ModalDialog* modal = RunningDialogOf(hwnd);
    if (modal == nullptr) {
        return ::DefWindowProcW(hwnd, message.message, message.wParam, message.lParam);
    }
    // A dialog procedure must not call DefDlgProcW: the dialog manager would run the procedure
    // again. The message is declined instead once its handler returns, and the dialog manager
    // then processes it; its result is the message's result, not known before.
    modal->defaultRequested = true;
    return 0;
}

intptr_t Win32DialogHost::SendMessageW(WindowHandle window, uint32_t message, uintptr_t wParam,
                                       intptr_t lParam) {
    return static_cast<intptr_t>(::SendMessageW(ToHwnd(window), message, wParam, lParam));
}

WindowHandle Win32DialogHost::GetDlgItem(WindowHandle dialog, int32_t controlId) {
    return FromHwnd(::GetDlgItem(ToHwnd(dialog), controlId));
}

std::u16string Win32DialogHost::GetWindowTextW(WindowHandle window) {
    HWND hwnd = ToHwnd(window);
    const int length = GetWindowTextLengthW(hwnd);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return FromWide(text);
}

void Win32DialogHost::SetWindowTextW(WindowHandle window, std::u16string_view text) {
    ::SetWindowTextW(ToHwnd(window), ToWide(text).c_str());
}

void Win32DialogHost::EnableWindow(WindowHandle window, bool enable) {
    ::EnableWindow(ToHwnd(window), enable ? TRUE : FALSE);
}

bool Win32DialogHost::IsWindowEnabled(WindowHandle window) {
    return ::IsWindowEnabled(ToHwnd(window)) != FALSE;
}

bool Win32DialogHost::IsIconic(WindowHandle window) {
    return ::IsIconic(ToHwnd(window)) != FALSE;
}

bool Win32DialogHost::GetWindowRect(WindowHandle window, Rect& rect) {
    RECT area{};
    if (!::GetWindowRect(ToHwnd(window), &area)) {
        return false;
    }
    rect = Rect{area.left, area.top, area.right, area.bottom};
    return true;
}

bool Win32DialogHost::GetClientRect(WindowHandle window, Rect& rect) {
    RECT area{};
    if (!::GetClientRect(ToHwnd(window), &area)) {
        return false;
    }
    rect = Rect{area.left, area.top, area.right, area.bottom};
    return true;
}

bool Win32DialogHost::SetWindowPos(WindowHandle window, WindowHandle insertAfter, int32_t x, int32_t y,
                                   int32_t cx, int32_t cy, uint32_t flags) {
    return ::SetWindowPos(ToHwnd(window), ToHwnd(insertAfter), x, y, cx, cy, flags) != FALSE;
}

int32_t Win32DialogHost::GetSystemMetrics(int32_t index) {
    return ::GetSystemMetrics(index);
}

int32_t Win32DialogHost::MessageBoxW(WindowHandle owner, std::u16string_view text,
                                     std::u16string_view caption, uint32_t type) {
    return ::MessageBoxW(ToHwnd(owner), ToWide(text).c_str(), ToWide(caption).c_str(), type);
}

MenuHandle Win32DialogHost::GetSystemMenu(WindowHandle window) {
    return reinterpret_cast<MenuHandle>(::GetSystemMenu(ToHwnd(window), FALSE));
}

bool Win32DialogHost::AppendMenuW(MenuHandle menu, uint32_t flags, uintptr_t itemId,
                                  std::u16string_view text) {
    const std::wstring wide = ToWide(text);
    const wchar_t* item = (flags & MF_SEPARATOR) != 0 ? nullptr : wide.c_str();
    return ::AppendMenuW(reinterpret_cast<HMENU>(menu), flags, itemId, item) != FALSE;
}

std::u16string Win32DialogHost::LoadStringW(uint32_t stringId) {
    // With a buffer size of 0 the call hands out the read-only text inside the resource.
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(instance_, stringId, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr) {
        return {};
    }
    return FromWide(std::wstring_view(text, static_cast<std::size_t>(length)));
}

IconHandle Win32DialogHost::LoadIconW(uint32_t iconId) {
    return reinterpret_cast<IconHandle>(::LoadIconW(instance_, MAKEINTRESOURCEW(iconId)));
}

PaintContext Win32DialogHost::BeginPaint(WindowHandle window) {
    paintings_.push_back(Painting{ToHwnd(window), {}});
    Painting& painting = paintings_.back();
    const HDC dc = ::BeginPaint(painting.window, &painting.paint);
    return reinterpret_cast<PaintContext>(dc);
}

void Win32DialogHost::EndPaint(WindowHandle window, PaintContext context) {
    const HDC dc = reinterpret_cast<HDC>(context);
    const auto open = std::find_if(paintings_.rbegin(), paintings_.rend(), [&](const Painting& painting) {
        return painting.window == ToHwnd(window) && painting.paint.hdc == dc;
    });
    if (open == paintings_.rend()) {
        return;
    }
    ::EndPaint(open->window, &open->paint);
    paintings_.erase(std::next(open).base());
}

void Win32DialogHost::DrawIcon(PaintContext context, int32_t x, int32_t y, IconHandle icon) {
    ::DrawIcon(reinterpret_cast<HDC>(context), x, y, reinterpret_cast<HICON>(icon));
}

std::unique_ptr<IPanelCanvas> Win32DialogHost::GetPanelCanvas(WindowHandle frame, WindowHandle logEdit) {
    return std::make_unique<Win32PanelCanvas>(ToHwnd(frame), ToHwnd(logEdit));
}

}  // namespace tolven::win32
