#include "platform/linux/terminal/terminal_host.h"

#include <gtest/gtest.h>

#include <sstream>

#include "app/framework/dialog.h"

namespace tolven::linux_host {
namespace {

constexpr ControlTemplate kControls[] = {
    {1000, ControlClass::kEdit, u"", 0x50A10844, {7, 46, 200, 90}},
};
constexpr DialogTemplate kDialogs[] = {{5, u"Log", 0x90C800C0, 0, {0, 0, 100, 50}, kControls}};
const ResourceSet kResources{kDialogs, {}, {}};

struct Terminal {
    explicit Terminal(std::string input, TerminalHostOptions options = {false, false, true})
        : in(std::move(input)), host(kResources, options, in, out) {}
    std::istringstream in;
    std::ostringstream out;
    TerminalHost host;
};

TEST(TerminalHostTest, AsksYesNoQuestionsAtThePrompt) {
    struct Case {
        const char* name;
        const char* input;
        TerminalHostOptions options;
        int32_t answer;
        const char* outputPart;
    };
    const Case cases[] = {
        {"Enter takes the default button, Yes", "\n", {false, false, true}, kIdYes, "[Y/n]"},
        {"y", "y\n", {false, false, true}, kIdYes, "[Y/n]"},
        {"no", "no\n", {false, false, true}, kIdNo, "[Y/n]"},
        {"an unclear answer is asked again",
         "maybe\nn\n",
         {false, false, true},
         kIdNo,
         "Please answer y or n."},
        {"end of input is No", "", {false, false, true}, kIdNo, "[Y/n]"},
        {"--yes answers without reading", "n\n", {false, true, true}, kIdYes, "Yes (--yes)"},
        {"without a terminal the answer is No", "y\n", {false, false, false}, kIdNo, "no terminal to ask"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Terminal terminal(c.input, c.options);
        EXPECT_EQ(terminal.host.MessageBoxW(0, u"포맷하시겠습니까?", u"E: 드라이브 포맷",
                                            kMbYesNo | kMbIconExclamation),
                  c.answer);
        const std::string shown = terminal.out.str();
        EXPECT_EQ(shown.rfind("[E: 드라이브 포맷] 포맷하시겠습니까?\n", 0), 0u) << shown;
        EXPECT_NE(shown.find(c.outputPart), std::string::npos) << shown;
    }
}

TEST(TerminalHostTest, AnInformationBoxIsShownWithoutAQuestion) {
    Terminal terminal("n\n");
    EXPECT_EQ(terminal.host.MessageBoxW(0, u"TOLVEN 제품이 연결되지 않았습니다.", u"장치확인",
                                        kMbOk | kMbIconInformation),
              kIdOk);
    EXPECT_EQ(terminal.out.str(), "[장치확인] TOLVEN 제품이 연결되지 않았습니다.\n");
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

}  // namespace
}  // namespace tolven::linux_host
