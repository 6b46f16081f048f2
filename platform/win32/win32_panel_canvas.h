// Win32 platform layer: GDI drawing of the drive information panel into the client device
// context of control 1003.
#pragma once

#include <windows.h>

#include "device/panel_canvas.h"

namespace tolven::win32 {

class Win32PanelCanvas final : public IPanelCanvas {
  public:
    // Takes the client device context of panelFrame (GetDC); logEdit is only repainted.
    Win32PanelCanvas(HWND panelFrame, HWND logEdit);
    ~Win32PanelCanvas() override;
    Win32PanelCanvas(const Win32PanelCanvas&) = delete;
    Win32PanelCanvas& operator=(const Win32PanelCanvas&) = delete;

    int32_t SetBkMode(int32_t mode) override;
    Rect GetClientRect() override;
    void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
    GdiObject CreateSolidBrush(ColorRef color) override;
    GdiObject CreatePen(int32_t style, int32_t width, ColorRef color) override;
    GdiObject SelectObject(GdiObject object) override;
    void DeleteObject(GdiObject object) override;
    ColorRef SetTextColor(ColorRef color) override;
    void DrawTextW(std::u16string_view text, Rect& rect, uint32_t format) override;
    void UpdateWindow(PanelWindow window) override;

  private:
    HWND panelFrame_;
    HWND logEdit_;
    HDC dc_;
};

}  // namespace tolven::win32
