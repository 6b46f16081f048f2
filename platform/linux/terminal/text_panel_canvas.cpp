// Linux host, terminal: recording the panel's drawing calls and printing them as text.
#include "platform/linux/terminal/text_panel_canvas.h"

#include <algorithm>

#include "platform/linux/terminal/korean_glosses.h"
#include "platform/linux/terminal/safe_text.h"
#include "platform/linux/terminal/terminal_text.h"

namespace tolven::linux_host {

TextPanelCanvas::~TextPanelCanvas() {
    if (sink_) {
        sink_(drawing_);
    }
}

int32_t TextPanelCanvas::SetBkMode(int32_t mode) {
    const int32_t previous = bkMode_;
    bkMode_ = mode;
    return previous;
}

void TextPanelCanvas::Rectangle(int32_t left, int32_t, int32_t right, int32_t) {
    // The outline of the field is drawn with the stock brush; the bar with a brush of its own.
    if (brush_ == kStockBrush || brush_ == 0 || brush_ > objects_.size()) {
        return;
    }
    drawing_.bar = PanelBar{left, right, objects_[brush_ - 1].color};
}

GdiObject TextPanelCanvas::CreateSolidBrush(ColorRef color) {
    objects_.push_back(Object{true, color});
    return objects_.size();
}

GdiObject TextPanelCanvas::CreatePen(int32_t, int32_t, ColorRef color) {
    objects_.push_back(Object{false, color});
    return objects_.size();
}

GdiObject TextPanelCanvas::SelectObject(GdiObject object) {
    if (object == 0 || object > objects_.size()) {
        return 0;
    }
    const bool isBrush = objects_[object - 1].isBrush;
    GdiObject& slot = isBrush ? brush_ : pen_;
    const GdiObject previous = slot;
    slot = object;
    return previous;
}

void TextPanelCanvas::DeleteObject(GdiObject) {}

ColorRef TextPanelCanvas::SetTextColor(ColorRef color) {
    const ColorRef previous = textColor_;
    textColor_ = color;
    return previous;
}

void TextPanelCanvas::DrawTextW(std::u16string_view text, Rect&, uint32_t format) {
    drawing_.texts.push_back(PanelText{std::u16string(text), format, textColor_});
}

namespace {

// The longest start of `text` that fits in `columns` (a wide character is never split).
std::u16string Fitted(const std::u16string& text, std::size_t columns) {
    std::u16string fitted;
    for (const char16_t unit : text) {
        fitted += unit;
        if (DisplayWidth(fitted) > columns) {
            fitted.pop_back();
            break;
        }
    }
    return fitted;
}

std::string Framed(const std::u16string& row, std::size_t columns) {
    const std::u16string fitted = Fitted(row, columns);
    const std::size_t width = DisplayWidth(fitted);
    // Appended piece by piece: GCC 12 misreads "literal" + std::string&& as an overlapping copy.
    std::string line = "|";
    line += ToUtf8(fitted);
    line.append(columns - width, ' ');
    line += '|';
    return line;
}

std::u16string Placed(const std::u16string& text, uint32_t format, std::size_t columns) {
    const std::size_t width = DisplayWidth(text);
    const std::size_t room = width < columns ? columns - width : 0;
    if ((format & kDtRight) != 0) {
        return std::u16string(room, u' ') + text;
    }
    if ((format & kDtCenter) != 0) {
        return std::u16string(room / 2, u' ') + text;
    }
    return text;
}

}  // namespace

std::vector<std::string> RenderPanel(const PanelDrawing& drawing, int32_t columns, bool englishGlosses) {
    const auto room = static_cast<std::size_t>(columns);
    std::u16string top;
    std::u16string middle;
    std::u16string bottom;
    for (const PanelText& text : drawing.texts) {
        std::u16string& row = (text.format & kDtBottom) != 0    ? bottom
                              : (text.format & kDtVCenter) != 0 ? middle
                                                                : top;
        // A label or a vendor text may carry controls: made safe before it is measured.
        const std::u16string shown = englishGlosses ? WithEnglishGlosses(text.text) : text.text;
        row = Placed(TerminalSafe(shown), text.format, room);
    }
    std::u16string bar;
    if (drawing.bar) {
        const int32_t used = std::clamp(drawing.bar->right - drawing.bar->left, 0, columns);
        bar = std::u16string(static_cast<std::size_t>(used), u'#') +
              std::u16string(static_cast<std::size_t>(columns - used), u'.');
    }
    std::string edge = "+";
    edge.append(room, '-');
    edge += '+';
    return {edge, Framed(top, room), Framed(middle, room), Framed(bar, room), Framed(bottom, room), edge};
}

int32_t PanelColumnsFor(int32_t terminalColumns) {
    return std::clamp(terminalColumns - 2, kNarrowestPanelColumns, kPanelColumns);
}

}  // namespace tolven::linux_host
