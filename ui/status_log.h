// The status log: every line the program reports goes through one of two writers, the dialog's
// AppendLog and the formatter's LogLine, onto the same edit control.
#pragma once

#include "ui/window_controls.h"

namespace tolven {

// The dialog's writer: appends text and CR LF to what the control shows, then scrolls to the end.
// A null text counts as empty.
void AppendLog(ILogControl& control, const char16_t* text);

// The formatter's writer. Its state (the bound control and a text buffer) lives for the whole
// process; every format binds again, which reloads the buffer from the control so that the
// formatter's lines continue whatever the dialog wrote in between.
void BindLogControl(ILogControl* control);
void LogLine(const char16_t* text);

}  // namespace tolven
