// Linux host, terminal: the screen the user looks at. The panel, the target description and the
// question go there: to standard output when it is a terminal, else to the controlling terminal
// (/dev/tty), so a run whose standard output is redirected still shows them before anything is
// destroyed. Without any terminal they go to standard output with the rest.
#pragma once

#include <fstream>
#include <optional>
#include <ostream>

#include "platform/linux/terminal/progress_line.h"

namespace tolven::linux_host {

inline constexpr int kDefaultTerminalColumns = 62;

class TerminalScreen {
  public:
    TerminalScreen();

    std::ostream& Stream() { return tty_.is_open() ? tty_ : *standardOutput_; }
    // Whether Stream() reaches a terminal (stdout or /dev/tty).
    bool IsTerminal() const { return isTerminal_; }
    // The terminal's width in columns (see TerminalColumns).
    int Columns() const { return columns_; }

  private:
    std::ostream* standardOutput_;
    std::ofstream tty_;
    bool isTerminal_ = false;
    int columns_ = kDefaultTerminalColumns;
};

// The width to lay text out for: the terminal's own (TIOCGWINSZ), else $COLUMNS when it is a
// positive number, else 62.
int TerminalColumns(std::optional<int> windowColumns, const char* columnsVariable);

// Whether standard error is a terminal (where a progress line can be redrawn).
bool StandardErrorIsTerminal();

// How a progress line may be shown on a stream: not at all unless it is a terminal, and without
// control sequences on a terminal that takes none ($TERM "dumb", empty or unset).
std::optional<ProgressStyle> ProgressStyleFor(bool isTerminal, const char* termVariable);
// The same for standard error and this run's $TERM.
std::optional<ProgressStyle> StandardErrorProgressStyle();

}  // namespace tolven::linux_host
