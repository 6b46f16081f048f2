#include "app/framework/controls.h"

namespace tolven {

namespace {

// A canvas for a detached control: draws nowhere.
class NullCanvas : public IPanelCanvas {
  public:
    int32_t SetBkMode(int32_t) override { return 0; }
    Rect GetClientRect() override { return {}; }
    void Rectangle(int32_t, int32_t, int32_t, int32_t) override {}
    GdiObject CreateSolidBrush(ColorRef) override { return 0; }
    GdiObject CreatePen(int32_t, int32_t, ColorRef) override { return 0; }
    GdiObject SelectObject(GdiObject) override { return 0; }
    void DeleteObject(GdiObject) override {}
    ColorRef SetTextColor(ColorRef) override { return 0; }
    void DrawTextW(std::u16string_view, Rect&, uint32_t) override {}
    void UpdateWindow(PanelWindow) override {}
};

}  // namespace

std::unique_ptr<IPanelCanvas> CStatic::GetPanelCanvas(const CWnd& logEdit) {
    IDialogHost* host = GetHost();
    if (host == nullptr) {
        return std::make_unique<NullCanvas>();
    }
    std::unique_ptr<IPanelCanvas> canvas = host->GetPanelCanvas(GetSafeHwnd(), logEdit.GetSafeHwnd());
    return canvas != nullptr ? std::move(canvas) : std::make_unique<NullCanvas>();
}

int32_t CEdit::GetLineCount() const {
    // SendMessageW is not const on CWnd: a line count query changes nothing.
    return static_cast<int32_t>(const_cast<CEdit*>(this)->CWnd::SendMessageW(kEmGetLineCount, 0, 0));
}

void CEdit::LineScroll(int32_t chars, int32_t lines) {
    CWnd::SendMessageW(kEmLineScroll, static_cast<uintptr_t>(static_cast<intptr_t>(chars)), lines);
}

}  // namespace tolven
