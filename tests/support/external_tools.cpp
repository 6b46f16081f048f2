// Test support (POSIX): the shell runs the independent tools.
#include "tests/support/external_tools.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <regex>

namespace tolven::testing {

CommandResult RunCommand(const std::string& command) {
    CommandResult result;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    std::array<char, 65536> buffer{};
    std::size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        result.output.append(buffer.data(), n);
    }
    const int status = ::pclose(pipe);
    result.exitCode = status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

void ExpectCleanFsck(const std::string& image, SmallVolumeWarning warning) {
    const CommandResult fsck = RunCommand("fsck.fat -n " + ShellQuote(image));
    EXPECT_EQ(fsck.exitCode, 0) << fsck.output;
    const std::string smallVolume =
        "(Warning: Filesystem is FAT32 according to fat_length and fat32_length fields,\\n"
        "  but has only \\d+ clusters, less than the required minimum of 65525.\\n"
        "  This may lead to problems on some systems.\\n)?";
    const std::regex clean((warning == SmallVolumeWarning::kAllowed ? smallVolume : std::string()) +
                           "fsck\\.fat [^\\n]*\\n[^\\n]*: \\d+ files, \\d+/\\d+ clusters\\n");
    EXPECT_TRUE(std::regex_match(fsck.output, clean)) << fsck.output;
}

}  // namespace tolven::testing
