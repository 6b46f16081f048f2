// Linux host, terminal: the dialog's UTF-16 texts on a UTF-8 terminal.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tolven::linux_host {

// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);
// The columns a text takes on a terminal: East Asian wide characters (Hangul among them) take two.
std::size_t DisplayWidth(std::u16string_view text);
// A number with a comma between groups of three digits: "2,202,009,600".
std::string GroupedDecimal(uint64_t value);
// The log's line ends (CR LF) as the terminal's (LF).
std::u16string TerminalLineEnds(std::u16string_view text);

}  // namespace tolven::linux_host
