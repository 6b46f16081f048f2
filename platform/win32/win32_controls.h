// Win32 platform layer: the core's views of the dialog's controls over their window handles:
// the status log's edit control, the progress bar and the Format button.
#pragma once

#include <windows.h>

#include "device/storage_identification.h"
#include "ui/window_controls.h"

namespace tolven::win32 {

class Win32LogControl final : public ILogControl {
  public:
    explicit Win32LogControl(HWND edit) : edit_(edit) {}
    std::u16string GetWindowTextW() const override;
    void SetWindowTextW(std::u16string_view text) override;
    int32_t GetLineCount() const override;
    void LineScroll(int32_t chars, int32_t lines) override;

  private:
    HWND edit_;
};

class Win32ProgressControl final : public IProgressControl {
  public:
    explicit Win32ProgressControl(HWND progress) : progress_(progress) {}
    intptr_t SendMessageW(uint32_t message, uintptr_t wParam, intptr_t lParam) override;

  private:
    HWND progress_;
};

class Win32Button final : public IEnableableButton {
  public:
    explicit Win32Button(HWND button) : button_(button) {}
    void EnableWindow(bool enable) override;

  private:
    HWND button_;
};

}  // namespace tolven::win32
