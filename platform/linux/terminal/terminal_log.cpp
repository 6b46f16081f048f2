// Linux host, terminal: the status log printed line by line.
#include "platform/linux/terminal/terminal_log.h"

#include <ostream>

#include "app/dialog_texts.h"
#include "app/framework/memory_window_host.h"
#include "platform/linux/terminal/safe_text.h"
#include "platform/linux/terminal/terminal_text.h"

namespace tolven::linux_host {

namespace {
constexpr std::u16string_view kLineEnd = u"\r\n";
}

void TerminalLog::SetWindowTextW(std::u16string_view text) {
    // The log only grows; a text that does not continue what was printed is printed anew.
    if (text.size() < printedEnd_ ||
        text.substr(0, printedEnd_) != std::u16string_view(text_).substr(0, printedEnd_)) {
        printedEnd_ = 0;
    }
    text_ = text;
    if (options_.beforeOutput) {
        options_.beforeOutput();
    }
    for (std::size_t end = text_.find(kLineEnd, printedEnd_); end != std::u16string::npos;
         end = text_.find(kLineEnd, printedEnd_)) {
        PrintLine(std::u16string_view(text_).substr(printedEnd_, end - printedEnd_));
        printedEnd_ = end + kLineEnd.size();
    }
    // The note goes beside the product's log, not into it.
    if (!notedUsage_ && std::u16string_view(text_).substr(0, printedEnd_).find(kIntroductionText) !=
                            std::u16string_view::npos) {
        notedUsage_ = true;
        if (!options_.noUsageNote) {
            out_ << kTerminalUsageNote << "\n";
        }
    }
    out_.flush();
}

int32_t TerminalLog::GetLineCount() const {
    return CountEditLines(text_);
}

void TerminalLog::PrintLine(std::u16string_view line) {
    const std::string utf8 = ToUtf8(TerminalSafe(TerminalLineEnds(line), true)) + "\n";
    out_ << (options_.encode ? options_.encode(utf8) : utf8);
}

}  // namespace tolven::linux_host
