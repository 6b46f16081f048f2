// Linux host, terminal: the in-memory windows shown and driven through standard input and output.
#include "platform/linux/terminal/terminal_host.h"

#include <istream>
#include <ostream>

#include "app/dialog_texts.h"
#include "app/resource_ids.h"
#include "platform/linux/terminal/run_signals.h"
#include "platform/linux/terminal/safe_text.h"
#include "platform/linux/terminal/terminal_text.h"
#include "platform/linux/terminal/text_panel_canvas.h"

namespace tolven::linux_host {

TerminalHost::TerminalHost(const ResourceSet& resources, TerminalHostOptions options, std::istream& in,
                           std::ostream& screen, std::ostream& log)
    : MemoryWindowHost(resources), options_(std::move(options)), in_(in), screen_(screen), log_(log) {}

void TerminalHost::BeforeOutput() const {
    if (options_.beforeOutput) {
        options_.beforeOutput();
    }
}

std::string TerminalHost::Encoded(std::string_view utf8) const {
    return options_.encode ? options_.encode(utf8) : std::string(utf8);
}

void TerminalHost::OnModalIdle(WindowHandle dialog) {
    const Window* window = FindWindow(dialog);
    if (window == nullptr || window->templateId != kIddTolvenFormatDialog) {
        EndDialog(dialog, kIdOk);
        return;
    }
    // The dialog is up: it is shown (painted) once.
    if (!painted_) {
        painted_ = true;
        Dispatch(dialog, Message{kWmPaint, 0, 0});
        return;
    }
    const WindowHandle button = GetDlgItem(dialog, kIdcFormat);
    formatButtonEnabled_ = IsWindowEnabled(button);
    if (!pressedFormat_ && !options_.listOnly && formatButtonEnabled_) {
        pressedFormat_ = true;
        Dispatch(dialog, Message{kWmCommand, MakeCommandParam(kIdcFormat, kBnClicked),
                                 static_cast<intptr_t>(button)});
        return;
    }
    // Nothing more to do: the Exit button.
    Dispatch(dialog, Message{kWmCommand, MakeCommandParam(kIdOk, kBnClicked), 0});
    if (!FindWindow(dialog)->ended) {
        EndDialog(dialog, kIdOk);
    }
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
        SetSignalPhase(SignalPhase::kFormatting);  // from here a signal waits for the format
        return kIdYes;
    }
    if (!options_.inputIsTerminal) {
        screen_ << "No (standard input is not a terminal; give --yes to confirm)\n";
        screen_.flush();
        couldNotAsk_ = true;
        return kIdNo;
    }
    if (!AskYesNo()) {
        return kIdNo;
    }
    SetSignalPhase(SignalPhase::kFormatting);
    return kIdYes;
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

void TerminalHost::OnWindowTextChanged(const Window& window, const std::u16string& before) {
    if (window.isDialog || window.controlId != kIdcLogEdit) {
        return;
    }
    // The log only grows; print what was appended. A text that does not continue the old one is
    // printed whole.
    const bool continues =
        window.text.size() >= before.size() && window.text.compare(0, before.size(), before) == 0;
    const std::u16string_view added =
        continues ? std::u16string_view(window.text).substr(before.size()) : std::u16string_view(window.text);
    BeforeOutput();
    log_ << Encoded(ToUtf8(TerminalSafe(TerminalLineEnds(added), true)));
    // The note goes beside the product's log, not into it.
    if (!notedUsage_ && added.find(kIntroductionText) != std::u16string_view::npos) {
        notedUsage_ = true;
        if (!options_.quiet) {
            log_ << (added.ends_with(u'\n') ? "" : "\n") << kTerminalUsageNote << "\n";
        }
    }
    log_.flush();
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
