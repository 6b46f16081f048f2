// Linux host, terminal: the dialog in a terminal. The windows live in memory; the panel is
// printed as text at every paint, the status log's lines are printed as they are appended, and
// message boxes ask their question at the prompt. Once the main dialog is up it paints, presses
// "Format" when that button is enabled (unless only listing), and then closes.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "app/framework/memory_window_host.h"

namespace tolven::linux_host {

struct TerminalHostOptions {
    bool listOnly = false;         // show the panel and press nothing
    bool assumeYes = false;        // answer Yes to yes/no boxes
    bool inputIsTerminal = false;  // whether questions can be asked at all
};

class TerminalHost : public MemoryWindowHost {
  public:
    TerminalHost(const ResourceSet& resources, TerminalHostOptions options, std::istream& in,
                 std::ostream& out);

    // Whether the Format button was enabled when the dialog was up (a player was found).
    bool FormatButtonWasEnabled() const { return formatButtonEnabled_; }

  protected:
    void OnModalIdle(WindowHandle dialog) override;
    int32_t AnswerMessageBox(WindowHandle owner, std::u16string_view text, std::u16string_view caption,
                             uint32_t type) override;
    void OnWindowTextChanged(const Window& window, const std::u16string& before) override;
    std::unique_ptr<IPanelCanvas> CreatePanelCanvas(WindowHandle frame, WindowHandle logEdit) override;

  private:
    bool AskYesNo();

    TerminalHostOptions options_;
    std::istream& in_;
    std::ostream& out_;
    bool painted_ = false;
    bool formatButtonEnabled_ = false;
    bool pressedFormat_ = false;
};

}  // namespace tolven::linux_host
