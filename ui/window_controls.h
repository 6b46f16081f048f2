// The two output controls of the main dialog, as the portable core sees them: the status log's
// multi-line edit control and the hidden progress bar. The platform layer implements them over
// real windows (Win32) or over the terminal (Linux); tests use in-memory recorders.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tolven {

// Edit control 1000. Names follow the Win32 calls they stand for; W-suffixed names are used
// because the unsuffixed ones are macros under <windows.h>.
class ILogControl {
  public:
    virtual ~ILogControl() = default;
    virtual std::u16string GetWindowTextW() const = 0;          // the whole text
    virtual void SetWindowTextW(std::u16string_view text) = 0;  // replaces the whole text
    virtual int32_t GetLineCount() const = 0;                   // EM_GETLINECOUNT
    virtual void LineScroll(int32_t chars, int32_t lines) = 0;  // EM_LINESCROLL
};

// Progress bar messages (commctrl.h values; k-names because the PBM_ names are macros there).
inline constexpr uint32_t kPbmSetRange = 0x401;
inline constexpr uint32_t kPbmSetPos = 0x402;
inline constexpr uint32_t kPbmSetStep = 0x404;
inline constexpr uint32_t kPbmStepIt = 0x405;

// Control 1002, driven only by the formatter through its messages.
class IProgressControl {
  public:
    virtual ~IProgressControl() = default;
    virtual intptr_t SendMessageW(uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
};

}  // namespace tolven
