// Win32 platform layer: the panel's GDI calls on control 1003's client device context.
#include "platform/win32/win32_panel_canvas.h"

#include <climits>

#include "platform/win32/win32_text.h"

namespace tolven::win32 {

namespace {

HGDIOBJ ToHandle(GdiObject object) {
    return reinterpret_cast<HGDIOBJ>(object);
}
GdiObject FromHandle(HGDIOBJ handle) {
    return reinterpret_cast<GdiObject>(handle);
}

}  // namespace

Win32PanelCanvas::Win32PanelCanvas(HWND panelFrame, HWND logEdit)
    : panelFrame_(panelFrame), logEdit_(logEdit), dc_(GetDC(panelFrame)) {}

Win32PanelCanvas::~Win32PanelCanvas() {
    if (dc_ != nullptr) {
        ReleaseDC(panelFrame_, dc_);
    }
}

int32_t Win32PanelCanvas::SetBkMode(int32_t mode) {
    return ::SetBkMode(dc_, mode);
}

Rect Win32PanelCanvas::GetClientRect() {
    RECT client{};
    ::GetClientRect(panelFrame_, &client);
    return Rect{client.left, client.top, client.right, client.bottom};
}

void Win32PanelCanvas::Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    ::Rectangle(dc_, left, top, right, bottom);
}

GdiObject Win32PanelCanvas::CreateSolidBrush(ColorRef color) {
    return FromHandle(::CreateSolidBrush(color));
}

GdiObject Win32PanelCanvas::CreatePen(int32_t style, int32_t width, ColorRef color) {
    return FromHandle(::CreatePen(style, width, color));
}

GdiObject Win32PanelCanvas::SelectObject(GdiObject object) {
    return FromHandle(::SelectObject(dc_, ToHandle(object)));
}

void Win32PanelCanvas::DeleteObject(GdiObject object) {
    ::DeleteObject(ToHandle(object));
}

ColorRef Win32PanelCanvas::SetTextColor(ColorRef color) {
    return ::SetTextColor(dc_, color);
}

void Win32PanelCanvas::DrawTextW(std::u16string_view text, Rect& rect, uint32_t format) {
    std::wstring wide = ToWide(text);
    RECT area{rect.left, rect.top, rect.right, rect.bottom};
    const int length =
        wide.size() > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(wide.size());
    ::DrawTextW(dc_, wide.data(), length, &area, format);
    rect = Rect{area.left, area.top, area.right, area.bottom};
}

void Win32PanelCanvas::UpdateWindow(PanelWindow window) {
    ::UpdateWindow(window == PanelWindow::kPanelFrame ? panelFrame_ : logEdit_);
}

}  // namespace tolven::win32
