#include <gtest/gtest.h>

#include "platform/linux/terminal/locale_text.h"
#include "platform/linux/terminal/terminal_screen.h"

namespace tolven::linux_host {
namespace {

TEST(LocaleTextTest, WritesTheLocalesCharacterSetAndQuestionMarksForWhatItCannotShow) {
    struct Case {
        const char* charset;
        const char* utf8;
        std::string expected;
    };
    const Case cases[] = {
        {"UTF-8", "포맷작업 완료", "포맷작업 완료"},
        {"EUC-KR", "포맷 OK", "\xC6\xF7\xB8\xCB OK"},
        // One '?' per column: a Hangul syllable takes two, so framed lines keep their width.
        {"ANSI_X3.4-1968", "| 포맷 |",
         "| ??"
         "?? |"},
        {"ANSI_X3.4-1968", "caf\xC3\xA9", "caf?"},
        {"EUC-KR", "\xF0\x9F\x98\x80!",
         "??"
         "!"},
        {"ANSI_X3.4-1968", "cut \xE2\x82", "cut ?"},  // a sequence cut short
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.charset) + ": " + c.utf8);
        EXPECT_EQ(LocaleText(c.charset)(c.utf8), c.expected);
    }
}

TEST(TerminalColumnsTest, TakesTheWindowThenColumnsThenADefault) {
    EXPECT_EQ(TerminalColumns(45, "100"), 45);
    EXPECT_EQ(TerminalColumns(std::nullopt, "100"), 100);
    EXPECT_EQ(TerminalColumns(std::nullopt, "wide"), kDefaultTerminalColumns);
    EXPECT_EQ(TerminalColumns(std::nullopt, "-3"), kDefaultTerminalColumns);
    EXPECT_EQ(TerminalColumns(std::nullopt, nullptr), kDefaultTerminalColumns);
}

}  // namespace
}  // namespace tolven::linux_host
