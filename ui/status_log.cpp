#include "ui/status_log.h"

#include <string>

namespace tolven {
namespace {

constexpr char16_t kLineEnd[] = u"\r\n";

// The formatter's log state: bound once per format, kept for the life of the process.
struct FormatterLogState {
    ILogControl* boundControl = nullptr;
    std::u16string buffer;
};

FormatterLogState& FormatterLog() {
    static FormatterLogState state;
    return state;
}

// Bringing the last line into view: scroll by the whole line count.
void ScrollToEnd(ILogControl& control) {
    control.LineScroll(0, control.GetLineCount());
}

}  // namespace

void AppendLog(ILogControl& control, const char16_t* text) {
    std::u16string whole = control.GetWindowTextW();
    if (text != nullptr) {
        whole += text;
    }
    whole += kLineEnd;
    control.SetWindowTextW(whole);
    ScrollToEnd(control);
}

void BindLogControl(ILogControl* control) {
    FormatterLogState& log = FormatterLog();
    log.boundControl = control;
    log.buffer = control != nullptr ? control->GetWindowTextW() : std::u16string();
}

void LogLine(const char16_t* text) {
    FormatterLogState& log = FormatterLog();
    if (text != nullptr) {
        log.buffer += text;
    }
    log.buffer += kLineEnd;
    if (log.boundControl != nullptr) {
        log.boundControl->SetWindowTextW(log.buffer);
        ScrollToEnd(*log.boundControl);
    }
}

}  // namespace tolven
