// Test helper: runs a shell command and captures its output (stdout and stderr together).
#pragma once

#include <string>

namespace tolven::linux_host::testing {

struct CommandResult {
    int exitCode = -1;  // -1 when the command could not be run or did not exit normally
    std::string output;
};

CommandResult RunCommand(const std::string& command);

// Wraps text in single quotes for the shell.
std::string ShellQuote(const std::string& text);

}  // namespace tolven::linux_host::testing
