// Linux host, terminal: the drive information panel as text. The canvas records what the panel
// draws (its texts with their placement, the used-space bar) and hands the drawing over when the
// device context is released; RenderPanel turns it into framed lines of text.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "device/panel_canvas.h"

namespace tolven::linux_host {

// The client area in terminal cells: one "pixel" is one column, so the bar's right edge is a
// column count. The panel is as wide as the terminal allows, between the two widths (frame
// included).
inline constexpr int32_t kPanelColumns = 60;
inline constexpr int32_t kNarrowestPanelColumns = 38;
inline constexpr int32_t kPanelRows = 4;

struct PanelText {
    std::u16string text;
    uint32_t format = 0;
    ColorRef color = 0;
};

struct PanelBar {
    int32_t left = 0;
    int32_t right = 0;
    ColorRef fill = 0;
};

struct PanelDrawing {
    std::vector<PanelText> texts;  // in drawing order
    std::optional<PanelBar> bar;
};

class TextPanelCanvas : public IPanelCanvas {
  public:
    using Sink = std::function<void(const PanelDrawing&)>;
    explicit TextPanelCanvas(Sink sink, int32_t columns = kPanelColumns)
        : sink_(std::move(sink)), columns_(columns) {}
    ~TextPanelCanvas() override;  // ReleaseDC: the drawing goes to the sink

    int32_t SetBkMode(int32_t mode) override;
    Rect GetClientRect() override { return {0, 0, columns_, kPanelRows}; }
    void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
    GdiObject CreateSolidBrush(ColorRef color) override;
    GdiObject CreatePen(int32_t style, int32_t width, ColorRef color) override;
    GdiObject SelectObject(GdiObject object) override;
    void DeleteObject(GdiObject object) override;
    ColorRef SetTextColor(ColorRef color) override;
    void DrawTextW(std::u16string_view text, Rect& rect, uint32_t format) override;
    void UpdateWindow(PanelWindow) override {}

  private:
    struct Object {
        bool isBrush = false;
        ColorRef color = 0;
    };
    Sink sink_;
    int32_t columns_;
    PanelDrawing drawing_;
    // Handle = index + 1. The context starts with its stock white brush and black pen selected.
    std::vector<Object> objects_{Object{true, MakeColorRef(255, 255, 255)}, Object{false, 0}};
    static constexpr GdiObject kStockBrush = 1;
    GdiObject brush_ = kStockBrush;
    GdiObject pen_ = 2;
    ColorRef textColor_ = 0;
    int32_t bkMode_ = 2;  // OPAQUE
};

// The panel as lines of text inside a frame `columns` wide (plus the frame): the top-left line, the
// centred line, the bar ('#' for the used part, '.' for the free part) and the bottom-right line.
// A text wider than the frame is cut at its end, so no line ever wraps; controls show as '?'.
// With `englishGlosses` (a locale without Hangul) the Korean texts are placed as their glosses.
std::vector<std::string> RenderPanel(const PanelDrawing& drawing, int32_t columns = kPanelColumns,
                                     bool englishGlosses = false);

// The panel's inner width for a terminal `terminalColumns` wide.
int32_t PanelColumnsFor(int32_t terminalColumns);

}  // namespace tolven::linux_host
