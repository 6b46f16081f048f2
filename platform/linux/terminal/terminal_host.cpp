// Linux host, terminal: the in-memory windows shown and driven through standard input and output.
#include "platform/linux/terminal/terminal_host.h"

#include <istream>
#include <ostream>

#include "app/resource_ids.h"
#include "platform/linux/terminal/safe_text.h"
#include "platform/linux/terminal/terminal_text.h"
#include "platform/linux/terminal/text_panel_canvas.h"

namespace tolven::linux_host {

TerminalHost::TerminalHost(const ResourceSet& resources, TerminalHostOptions options, std::istream& in,
                           std::ostream& screen, std::ostream& log)
    : MemoryWindowHost(resources),
      options_(std::move(options)),
      in_(in),
      screen_(screen),
      log_(log),
      logControl_(log, TerminalLogOptions{options_.encode, options_.beforeOutput, options_.quiet}) {}

void TerminalHost::BeforeOutput() const {
    if (options_.beforeOutput) {
        options_.beforeOutput();
    }
}

std::string TerminalHost::Encoded(std::string_view utf8) const {
    return options_.encode ? options_.encode(utf8) : std::string(utf8);
}

int32_t TerminalHost::AnswerMessageBox(WindowHandle, std::u16string_view text, std::u16string_view caption,
                                       uint32_t type) {
    BeforeOutput();
    log_.flush();
    const bool question = (type & kMbButtonsMask) == kMbYesNo;
    // -q drops the description, except before a question a person answers: they must see what
    // would be erased.
    const bool personAnswers = !options_.assumeYes && options_.inputIsTerminal;
    if (question && options_.describeTarget && (!options_.quiet || personAnswers)) {
        options_.describeTarget(screen_);
    }
    // Appended piece by piece: GCC 12 misreads "literal" + std::string&& as an overlapping copy.
    std::string line = "[";
    line += ToUtf8(TerminalSafe(caption));
    line += "] ";
    line += ToUtf8(TerminalSafe(TerminalLineEnds(text), true));
    screen_ << Encoded(line) << "\n";
    if (!question) {
        screen_.flush();
        return kIdOk;
    }
    if (options_.assumeYes) {
        screen_ << "Yes (--yes)\n";
        screen_.flush();
        return kIdYes;
    }
    if (!options_.inputIsTerminal) {
        screen_ << "No (standard input is not a terminal; give --yes to confirm)\n";
        screen_.flush();
        couldNotAsk_ = true;
        return kIdNo;
    }
    return AskYesNo() ? kIdYes : kIdNo;
}

bool TerminalHost::AskYesNo() {
    // Destroying data takes a deliberate yes: anything else, Enter alone included, is No.
    screen_ << "Format? [y/N] ";
    screen_.flush();
    std::string answer;
    if (!std::getline(in_, answer)) {
        screen_ << "\n";
        screen_.flush();
        return false;
    }
    for (char& c : answer) {
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return answer == "y" || answer == "yes";
}

void TerminalHost::OnWindowTextChanged(const Window& window, const std::u16string&) {
    if (!window.isDialog && window.controlId == kIdcLogEdit) {
        logControl_.SetWindowTextW(window.text);
    }
}

std::unique_ptr<IPanelCanvas> TerminalHost::CreatePanelCanvas(WindowHandle, WindowHandle) {
    const int32_t columns = options_.panelColumns;
    return std::make_unique<TextPanelCanvas>(
        [this, columns](const PanelDrawing& drawing) {
            if (options_.quiet) {
                return;
            }
            BeforeOutput();
            log_.flush();
            for (const std::string& line : RenderPanel(drawing, columns, options_.englishGlosses)) {
                screen_ << Encoded(line) << "\n";
            }
            screen_.flush();
        },
        columns);
}

}  // namespace tolven::linux_host
