// Linux host, terminal: the in-memory windows shown and driven through standard input and output.
#include "platform/linux/terminal/terminal_host.h"

#include <istream>
#include <ostream>

#include "app/resource_ids.h"
#include "platform/linux/terminal/terminal_text.h"
#include "platform/linux/terminal/text_panel_canvas.h"

namespace tolven::linux_host {

TerminalHost::TerminalHost(const ResourceSet& resources, TerminalHostOptions options, std::istream& in,
                           std::ostream& out)
    : MemoryWindowHost(resources), options_(options), in_(in), out_(out) {}

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
    out_ << "[" << ToUtf8(caption) << "] " << ToUtf8(text) << "\n";
    if ((type & kMbButtonsMask) != kMbYesNo) {
        out_.flush();
        return kIdOk;
    }
    if (options_.assumeYes) {
        out_ << "Yes (--yes)\n";
        out_.flush();
        return kIdYes;
    }
    if (!options_.inputIsTerminal) {
        out_ << "No (no terminal to ask; give --yes to confirm)\n";
        out_.flush();
        return kIdNo;
    }
    return AskYesNo() ? kIdYes : kIdNo;
}

bool TerminalHost::AskYesNo() {
    // Yes is the box's default button: an empty answer confirms, as Enter does in the dialog.
    for (;;) {
        out_ << "Format? [Y/n] ";
        out_.flush();
        std::string answer;
        if (!std::getline(in_, answer)) {
            out_ << "\n";
            return false;
        }
        if (answer.empty() || answer == "y" || answer == "Y" || answer == "yes" || answer == "YES" ||
            answer == "Yes") {
            return true;
        }
        if (answer == "n" || answer == "N" || answer == "no" || answer == "NO" || answer == "No") {
            return false;
        }
        out_ << "Please answer y or n.\n";
    }
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
    out_ << ToUtf8(TerminalLineEnds(added));
    out_.flush();
}

std::unique_ptr<IPanelCanvas> TerminalHost::CreatePanelCanvas(WindowHandle, WindowHandle) {
    return std::make_unique<TextPanelCanvas>([this](const PanelDrawing& drawing) {
        for (const std::string& line : RenderPanel(drawing)) {
            out_ << line << "\n";
        }
        out_.flush();
    });
}

}  // namespace tolven::linux_host
