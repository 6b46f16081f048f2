// Test helper: runs the independent tools (fsck.fat, mtools, sleuthkit, mkfs.fat) through the
// shell and judges what fsck.fat says about an image.
#pragma once

#include <string>

namespace tolven::testing {

struct CommandResult {
    int exitCode = -1;   // -1 when the command could not be run or did not exit normally
    std::string output;  // stdout and stderr together
};

CommandResult RunCommand(const std::string& command);

// Wraps text in single quotes for the shell.
std::string ShellQuote(const std::string& text);

// Whether fsck.fat may warn that a FAT32 volume has fewer than 65,525 clusters.
enum class SmallVolumeWarning { kNotAllowed, kAllowed };

// `fsck.fat -n` exits 0 and says nothing but its version line and the "IMG: N files, U/T
// clusters" summary (and, where allowed, the small-volume warning).
void ExpectCleanFsck(const std::string& image, SmallVolumeWarning warning = SmallVolumeWarning::kNotAllowed);

}  // namespace tolven::testing
