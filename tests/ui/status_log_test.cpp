#include "ui/status_log.h"

#include <gtest/gtest.h>

#include "tests/support/fake_controls.h"

namespace tolven {
namespace {

using testing::FakeLogControl;

struct AppendCase {
    const char* name;
    std::u16string before;
    const char16_t* text;
    std::u16string after;
};

TEST(AppendLogTest, AppendsTextAndLineEndToWhatTheControlShows) {
    const AppendCase cases[] = {
        {"plain text into an empty log", u"", u"abc", u"abc\r\n"},
        {"text ending in CR LF leaves an empty line", u"", u"abc\r\n", u"abc\r\n\r\n"},
        {"empty text adds an empty line", u"x\r\n", u"", u"x\r\n\r\n"},
        {"null text counts as empty", u"x\r\n", nullptr, u"x\r\n\r\n"},
        {"earlier lines are kept", u"one\r\n", u"two", u"one\r\ntwo\r\n"},
        {"Korean text is kept as UTF-16", u"", u"포맷작업 완료", u"포맷작업 완료\r\n"},
    };
    for (const AppendCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeLogControl control;
        control.text = c.before;
        AppendLog(control, c.text);
        EXPECT_EQ(control.text, c.after);
    }
}

TEST(AppendLogTest, ScrollsByTheWholeLineCountToBringTheEndIntoView) {
    FakeLogControl control;
    AppendLog(control, u"a\r\nb");
    ASSERT_EQ(control.scrolls.size(), 1u);
    EXPECT_EQ(control.scrolls[0].chars, 0);
    EXPECT_EQ(control.scrolls[0].lines, 3);  // "a", "b" and the empty line after the end
}

TEST(LogLineTest, ContinuesTheControlsTextFromTheBind) {
    FakeLogControl control;
    control.text = u"intro\r\n";
    BindLogControl(&control);
    LogLine(u"first");
    LogLine(nullptr);
    LogLine(u"msg\r\n");
    EXPECT_EQ(control.text, u"intro\r\nfirst\r\n\r\nmsg\r\n\r\n");
    EXPECT_EQ(control.scrolls.size(), 3u);
    EXPECT_EQ(control.scrolls.back().lines, control.GetLineCount());
}

TEST(LogLineTest, TwoWritersContinueEachOthersText) {
    FakeLogControl control;
    AppendLog(control, u"dialog 1");
    BindLogControl(&control);
    LogLine(u"format 1");
    AppendLog(control, u"dialog 2");
    // A second format binds again and so sees the dialog's line; nothing is lost or repeated.
    BindLogControl(&control);
    LogLine(u"format 2");
    EXPECT_EQ(control.text, u"dialog 1\r\nformat 1\r\ndialog 2\r\nformat 2\r\n");
}

TEST(LogLineTest, BindReloadsTheBufferSoAReplacedTextIsNotResurrected) {
    FakeLogControl first;
    BindLogControl(&first);
    LogLine(u"old");
    FakeLogControl second;
    second.text = u"new\r\n";
    BindLogControl(&second);
    LogLine(u"line");
    EXPECT_EQ(second.text, u"new\r\nline\r\n");
    EXPECT_EQ(first.text, u"old\r\n");
}

}  // namespace
}  // namespace tolven
