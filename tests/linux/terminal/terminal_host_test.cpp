#include "platform/linux/terminal/terminal_host.h"

#include <gtest/gtest.h>

#include <sstream>

#include "app/dialog_texts.h"
#include "app/framework/dialog.h"

namespace tolven::linux_host {
namespace {

constexpr ControlTemplate kControls[] = {
    {1000, ControlClass::kEdit, u"", 0x50A10844, {7, 46, 200, 90}},
};
constexpr DialogTemplate kDialogs[] = {{5, u"Log", 0x90C800C0, 0, {0, 0, 100, 50}, kControls}};
const ResourceSet kResources{kDialogs, {}, {}};

TerminalHostOptions Asking(bool assumeYes = false, bool inputIsTerminal = true) {
    return TerminalHostOptions{.assumeYes = assumeYes, .inputIsTerminal = inputIsTerminal};
}

// The panel and questions go to `screen`, the log to `out`.
struct Terminal {
    explicit Terminal(std::string input, TerminalHostOptions options = Asking())
        : in(std::move(input)), host(kResources, std::move(options), in, screen, out) {}
    std::istringstream in;
    std::ostringstream screen;
    std::ostringstream out;
    TerminalHost host;
};

TEST(TerminalHostTest, OnlyADeliberateYesConfirms) {
    struct Case {
        const char* name;
        const char* input;
        TerminalHostOptions options;
        int32_t answer;
        const char* outputPart;
    };
    const Case cases[] = {
        {"Enter alone is No", "\n", Asking(), kIdNo, "[y/N]"},
        {"y", "y\n", Asking(), kIdYes, "[y/N]"},
        {"YES", "YES\n", Asking(), kIdYes, "[y/N]"},
        {"n", "n\n", Asking(), kIdNo, "[y/N]"},
        {"an unclear answer is No", "yes please\ny\n", Asking(), kIdNo, "[y/N]"},
        {"end of input is No", "", Asking(), kIdNo, "[y/N]"},
        {"--yes answers without reading", "n\n", Asking(true), kIdYes, "Yes (--yes)"},
        {"without a terminal the answer is No", "y\n", Asking(false, false), kIdNo,
         "standard input is not a terminal"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TerminalHostOptions options = c.options;
        options.describeTarget = [](std::ostream& screen) { screen << "Target: d.img\n"; };
        Terminal terminal(c.input, options);
        EXPECT_EQ(terminal.host.MessageBoxW(0, u"포맷하시겠습니까?", u"E: 드라이브 포맷",
                                            kMbYesNo | kMbIconExclamation),
                  c.answer);
        const std::string shown = terminal.screen.str();
        EXPECT_EQ(shown.rfind("Target: d.img\n[E: 드라이브 포맷] 포맷하시겠습니까?\n", 0), 0u) << shown;
        EXPECT_NE(shown.find(c.outputPart), std::string::npos) << shown;
        EXPECT_EQ(terminal.out.str(), "") << "the question stays off the log";
    }
}

TEST(TerminalHostTest, AnInformationBoxIsShownWithoutAQuestion) {
    Terminal terminal("n\n");
    EXPECT_EQ(terminal.host.MessageBoxW(0, u"TOLVEN 제품이 연결되지 않았습니다.", u"장치확인",
                                        kMbOk | kMbIconInformation),
              kIdOk);
    EXPECT_EQ(terminal.screen.str(), "[장치확인] TOLVEN 제품이 연결되지 않았습니다.\n");
    EXPECT_EQ(terminal.in.tellg(), 0) << "nothing was read";
}

TEST(TerminalHostTest, PrintsWhatIsAppendedToTheLogOnce) {
    Terminal terminal("");
    terminal.host.Post([&] {
        const WindowHandle log = terminal.host.GetDlgItem(terminal.host.ActiveDialog(), 1000);
        terminal.host.SetWindowTextW(log, u"첫째\r\n");
        terminal.host.SetWindowTextW(log, u"첫째\r\n둘째\r\n\r\n");
        terminal.host.SetWindowTextW(log, u"new text\r\n");  // not a continuation: shown whole
    });
    CDialog dialog(5, terminal.host);
    dialog.DoModal();
    EXPECT_EQ(terminal.out.str(), "첫째\n둘째\n\nnew text\n");
}

// The note follows the introduction on the log stream; -q drops it and the description, not the
// log or the question.
TEST(TerminalHostTest, NotesTheTerminalFormAfterTheIntroductionUnlessQuiet) {
    for (const bool quiet : {false, true}) {
        SCOPED_TRACE(quiet ? "-q" : "not quiet");
        TerminalHostOptions options = Asking(true);
        options.quiet = quiet;
        options.describeTarget = [](std::ostream& screen) { screen << "Target: d.img\n"; };
        Terminal terminal("", options);
        terminal.host.Post([&] {
            const WindowHandle log = terminal.host.GetDlgItem(terminal.host.ActiveDialog(), 1000);
            terminal.host.SetWindowTextW(log, std::u16string(kIntroductionText) + u"\r\n");
            terminal.host.SetWindowTextW(log, std::u16string(kIntroductionText) + u"\r\nmore\r\n");
            terminal.host.MessageBoxW(0, u"포맷하시겠습니까?", u"E: 드라이브 포맷", kMbYesNo);
        });
        CDialog dialog(5, terminal.host);
        dialog.DoModal();
        const std::string note = quiet ? "" : std::string(kTerminalUsageNote) + "\n";
        EXPECT_EQ(terminal.out.str(),
                  "톨벤 제품 전용 포맷 유틸리티입니다.\n"
                  "톨벤 제품을 USB로 연결하시면 Format버튼이 활성화 됩니다.\n" +
                      note + "more\n");
        EXPECT_EQ(terminal.screen.str().find("Target: d.img") != std::string::npos, !quiet);
        EXPECT_NE(terminal.screen.str().find("[E: 드라이브 포맷]"), std::string::npos);
    }
}

// A question a person answers at the terminal is always preceded by what it would erase.
TEST(TerminalHostTest, QuietStillDescribesTheTargetBeforeAQuestionAskedAtTheTerminal) {
    TerminalHostOptions options = Asking();
    options.quiet = true;
    options.describeTarget = [](std::ostream& screen) { screen << "Target: d.img\n"; };
    Terminal terminal("n\n", options);
    terminal.host.Post(
        [&] { terminal.host.MessageBoxW(0, u"포맷하시겠습니까?", u"E: 드라이브 포맷", kMbYesNo); });
    CDialog dialog(5, terminal.host);
    dialog.DoModal();
    EXPECT_NE(terminal.screen.str().find("Target: d.img"), std::string::npos);
}

}  // namespace
}  // namespace tolven::linux_host
