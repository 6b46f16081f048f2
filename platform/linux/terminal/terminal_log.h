// Linux host, terminal: the status log's edit control as the terminal shows it. It holds the text
// as the control does and prints each line once, when its CR LF arrives, in the terminal's
// character set with control characters shown as '?'. The usage note follows the introduction.
#pragma once

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

#include "ui/window_controls.h"

namespace tolven::linux_host {

// The line printed after the product's introduction: its "Format button" has no meaning here.
inline constexpr char kTerminalUsageNote[] =
    "Terminal: the player found is formatted when you answer yes (or give --yes).";

struct TerminalLogOptions {
    std::function<std::string(std::string_view)> encode{};  // UTF-8 to the terminal; empty: as it is
    std::function<void()> beforeOutput{};                   // a progress line is erased there
    bool noUsageNote = false;                               // -q
};

class TerminalLog final : public ILogControl {
  public:
    TerminalLog(std::ostream& out, TerminalLogOptions options) : out_(out), options_(std::move(options)) {}

    std::u16string GetWindowTextW() const override { return text_; }
    void SetWindowTextW(std::u16string_view text) override;
    int32_t GetLineCount() const override;
    void LineScroll(int32_t, int32_t) override {}  // a terminal scrolls by itself

  private:
    void PrintLine(std::u16string_view line);

    std::ostream& out_;
    TerminalLogOptions options_;
    std::u16string text_;
    std::size_t printedEnd_ = 0;  // the text up to here is on the terminal
    bool notedUsage_ = false;
};

}  // namespace tolven::linux_host
