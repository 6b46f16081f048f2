// The GDI calls the drive information panel makes on the client device context of control 1003,
// and the repaint of the controls around it. Win32 draws with GDI; the Linux terminal renders the
// calls as text; tests record them.
#pragma once

#include <cstdint>
#include <string_view>

namespace tolven {

struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

using ColorRef = uint32_t;  // 0x00BBGGRR, as COLORREF
constexpr ColorRef MakeColorRef(uint8_t red, uint8_t green, uint8_t blue) {
    return static_cast<ColorRef>(red) | (static_cast<ColorRef>(green) << 8) |
           (static_cast<ColorRef>(blue) << 16);
}

// A GDI object handle made by the canvas (brush or pen); 0 is "none".
using GdiObject = uintptr_t;

// wingdi.h / winuser.h values, with k-names because the originals are macros.
inline constexpr int32_t kBkModeTransparent = 1;
inline constexpr int32_t kPenStyleSolid = 0;
inline constexpr uint32_t kDtCenter = 0x1;
inline constexpr uint32_t kDtRight = 0x2;
inline constexpr uint32_t kDtVCenter = 0x4;
inline constexpr uint32_t kDtBottom = 0x8;
inline constexpr uint32_t kDtSingleLine = 0x20;
inline constexpr uint32_t kDtNoPrefix = 0x800;

// Which window UpdateWindow is asked to repaint.
enum class PanelWindow { kPanelFrame, kLogEdit };

// A device context for the client area of control 1003 (GetDC); released when destroyed.
class IPanelCanvas {
  public:
    virtual ~IPanelCanvas() = default;
    virtual int32_t SetBkMode(int32_t mode) = 0;
    virtual Rect GetClientRect() = 0;
    virtual void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;
    virtual GdiObject CreateSolidBrush(ColorRef color) = 0;
    virtual GdiObject CreatePen(int32_t style, int32_t width, ColorRef color) = 0;
    virtual GdiObject SelectObject(GdiObject object) = 0;  // returns the previous one of its kind
    virtual void DeleteObject(GdiObject object) = 0;
    virtual ColorRef SetTextColor(ColorRef color) = 0;
    virtual void DrawTextW(std::u16string_view text, Rect& rect, uint32_t format) = 0;
    virtual void UpdateWindow(PanelWindow window) = 0;
};

}  // namespace tolven
