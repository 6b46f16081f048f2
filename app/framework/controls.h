// The framework's control classes: windows bound to a dialog's child controls by DoDataExchange,
// each also presenting the narrow interface through which the program's plain routines use it.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "app/framework/wnd.h"
#include "device/panel_canvas.h"
#include "device/storage_identification.h"
#include "ui/window_controls.h"

namespace tolven {

// A static control; the program draws into its client area.
class CStatic : public CWnd {
  public:
    // GetDC on the control; the canvas's UpdateWindow can also repaint logEdit.
    std::unique_ptr<IPanelCanvas> GetPanelCanvas(const CWnd& logEdit);
};

// A multi-line edit control: the status log.
class CEdit : public CWnd, public ILogControl {
  public:
    std::u16string GetWindowTextW() const override { return CWnd::GetWindowTextW(); }
    void SetWindowTextW(std::u16string_view text) override { CWnd::SetWindowTextW(text); }
    int32_t GetLineCount() const override;
    void LineScroll(int32_t chars, int32_t lines) override;
};

// The progress bar; the formatter drives it with its messages.
class CProgressCtrl : public CWnd, public IProgressControl {
  public:
    intptr_t SendMessageW(uint32_t message, uintptr_t wParam, intptr_t lParam) override {
        return CWnd::SendMessageW(message, wParam, lParam);
    }
};

// A push button; the scan enables and disables it.
class CButton : public CWnd, public IEnableableButton {
  public:
    void EnableWindow(bool enable) override { CWnd::EnableWindow(enable); }
};

}  // namespace tolven
