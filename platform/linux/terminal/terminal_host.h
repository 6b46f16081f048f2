// Linux host, terminal: the dialog in a terminal. The windows live in memory; the panel is
// printed as text at every paint and message boxes ask their question at the prompt, both on the
// screen the user looks at; the status log's lines are printed on the log stream as they are
// appended (through the terminal's own log control), every text with its control characters shown
// as '?'. What is pressed is the caller's: see RunUnattendedFormat.
#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

#include "app/framework/memory_window_host.h"
#include "platform/linux/terminal/terminal_log.h"
#include "platform/linux/terminal/text_panel_canvas.h"

namespace tolven::linux_host {

struct TerminalHostOptions {
    bool assumeYes = false;        // answer Yes to yes/no boxes
    bool inputIsTerminal = false;  // whether questions can be asked at all
    int32_t panelColumns = kPanelColumns;
    // UTF-8 to the terminal's character set; empty: written as it is.
    std::function<std::string(std::string_view)> encode{};
    // Writes what a Yes would destroy, just before the question.
    std::function<void(std::ostream&)> describeTarget{};
    // Called before anything is printed (a progress line is erased there).
    std::function<void()> beforeOutput{};
    // -q: no panel, no target description, no note after the introduction; the log and the
    // questions stay.
    bool quiet = false;
    // The locale shows no Hangul: the panel's Korean texts are laid out as their English glosses
    // (encode glosses every other line).
    bool englishGlosses = false;
};

class TerminalHost : public MemoryWindowHost {
  public:
    // The panel and the questions go to `screen`, the status log to `log` (they may be one).
    TerminalHost(const ResourceSet& resources, TerminalHostOptions options, std::istream& in,
                 std::ostream& screen, std::ostream& log);
    TerminalHost(const ResourceSet& resources, TerminalHostOptions options, std::istream& in,
                 std::ostream& out)
        : TerminalHost(resources, std::move(options), in, out, out) {}

    // Whether a question was answered no because it could not be asked (no terminal, no --yes).
    bool CouldNotAsk() const { return couldNotAsk_; }

  protected:
    int32_t AnswerMessageBox(WindowHandle owner, std::u16string_view text, std::u16string_view caption,
                             uint32_t type) override;
    void OnWindowTextChanged(const Window& window, const std::u16string& before) override;
    std::unique_ptr<IPanelCanvas> CreatePanelCanvas(WindowHandle frame, WindowHandle logEdit) override;

  private:
    bool AskYesNo();
    std::string Encoded(std::string_view utf8) const;
    void BeforeOutput() const;

    TerminalHostOptions options_;
    std::istream& in_;
    std::ostream& screen_;
    std::ostream& log_;
    TerminalLog logControl_;
    bool couldNotAsk_ = false;
};

}  // namespace tolven::linux_host
