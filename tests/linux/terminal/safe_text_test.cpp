#include "platform/linux/terminal/safe_text.h"

#include <gtest/gtest.h>

namespace tolven::linux_host {
namespace {

struct TextCase {
    const char* name;
    std::string in;
    std::string terminal;
    std::string json;
};

TEST(SafeTextTest, ControlsNeverReachTheTerminalAndAreEscapedInJson) {
    const TextCase cases[] = {
        {"plain text and Hangul stay", "PMP \xED\x94\x8C\xEB\xA0\x88\xEC\x9D\xB4\xEC\x96\xB4",
         "PMP \xED\x94\x8C\xEB\xA0\x88\xEC\x9D\xB4\xEC\x96\xB4",
         "\"PMP \xED\x94\x8C\xEB\xA0\x88\xEC\x9D\xB4\xEC\x96\xB4\""},
        {"screen-clearing escape", "A\x1b[2JB", "A?[2JB", "\"A\\u001b[2JB\""},
        {"window title with BEL", "\x1b]0;x\x07", "?]0;x?", "\"\\u001b]0;x\\u0007\""},
        {"line break, tab, carriage return", "a\nb\tc\r", "a?b?c?", "\"a\\nb\\tc\\r\""},
        {"DEL", "x\x7fy", "x?y", "\"x\\u007fy\""},
        {"C1 CSI encoded as UTF-8",
         "x\xc2\x9b"
         "2J",
         "x?2J", "\"x\\u009b2J\""},
        {"a raw C1 byte is not UTF-8",
         "x\x9b"
         "2J",
         "x?2J",
         "\"x\xEF\xBF\xBD"
         "2J\""},
        {"overlong and cut sequences", "\xc0\xaf-\xe2\x82",
         "?"
         "?-?"
         "?",
         "\"\xEF\xBF\xBD\xEF\xBF\xBD-\xEF\xBF\xBD\xEF\xBF\xBD\""},
        {"quotes and backslashes", "say \"\\\"", "say \"\\\"", "\"say \\\"\\\\\\\"\""},
        {"NUL inside", std::string("a\0b", 3), "a?b", "\"a\\u0000b\""},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TerminalSafe(c.in), c.terminal);
        EXPECT_EQ(JsonString(c.in), c.json);
    }
    EXPECT_EQ(TerminalSafe("one\ntwo\x1b\n", true), "one\ntwo?\n");
}

}  // namespace
}  // namespace tolven::linux_host
