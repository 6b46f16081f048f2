// Linux host, terminal: finding the user's terminal and its width (POSIX calls live here).
#include "platform/linux/terminal/terminal_screen.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string_view>

namespace tolven::linux_host {

namespace {

std::optional<int> WindowColumns(int fd) {
    winsize size{};
    if (::ioctl(fd, TIOCGWINSZ, &size) != 0 || size.ws_col == 0) {
        return std::nullopt;
    }
    return size.ws_col;
}

}  // namespace

TerminalScreen::TerminalScreen() : standardOutput_(&std::cout) {
    int fd = -1;
    if (::isatty(STDOUT_FILENO) == 1) {
        isTerminal_ = true;
        fd = STDOUT_FILENO;
    } else {
        // Opened only to see whether there is a controlling terminal; the stream opens its own.
        fd = ::open("/dev/tty", O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (fd >= 0) {
            tty_.open("/dev/tty");
            isTerminal_ = tty_.is_open();
        }
    }
    columns_ = TerminalColumns(fd >= 0 ? WindowColumns(fd) : std::nullopt, std::getenv("COLUMNS"));
    if (fd >= 0 && fd != STDOUT_FILENO) {
        ::close(fd);
    }
}

int TerminalColumns(std::optional<int> windowColumns, const char* columnsVariable) {
    if (windowColumns && *windowColumns > 0) {
        return *windowColumns;
    }
    if (columnsVariable != nullptr) {
        const char* end = columnsVariable + std::strlen(columnsVariable);
        int value = 0;
        const auto [stop, error] = std::from_chars(columnsVariable, end, value);
        if (error == std::errc() && stop == end && value > 0) {
            return value;
        }
    }
    return kDefaultTerminalColumns;
}

bool StandardErrorIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

std::optional<ProgressStyle> ProgressStyleFor(bool isTerminal, const char* termVariable) {
    if (!isTerminal) {
        return std::nullopt;
    }
    const std::string_view term = termVariable != nullptr ? termVariable : "";
    return term.empty() || term == "dumb" ? ProgressStyle::kPlainLines : ProgressStyle::kRedrawn;
}

std::optional<ProgressStyle> StandardErrorProgressStyle() {
    return ProgressStyleFor(StandardErrorIsTerminal(), std::getenv("TERM"));
}

}  // namespace tolven::linux_host
