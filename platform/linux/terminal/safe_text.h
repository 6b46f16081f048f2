// Linux host, terminal: text from disks and the command line made safe to print. A volume label,
// a device's vendor text or a path can carry control bytes that a terminal would obey (clear the
// screen, set the title, break a line); they are shown as '?' instead.
#pragma once

#include <string>
#include <string_view>

namespace tolven::linux_host {

// UTF-8 in, UTF-8 out: C0 controls (below 0x20), DEL and the C1 controls (U+0080..U+009F)
// become '?', as does every byte that is not part of a well-formed UTF-8 sequence. With
// keepLineBreaks, '\n' is kept (for text that is printed line by line on purpose).
std::string TerminalSafe(std::string_view text, bool keepLineBreaks = false);
// The same for the dialog's UTF-16 texts; a lone surrogate becomes '?' too.
std::u16string TerminalSafe(std::u16string_view text, bool keepLineBreaks = false);

// A JSON string literal, quotes included: controls escaped (\n, \t, \u001b, \u0085, ...), and
// bytes that are not well-formed UTF-8 replaced by U+FFFD.
std::string JsonString(std::string_view text);

}  // namespace tolven::linux_host
