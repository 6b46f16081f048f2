#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/framework/controls.h"
#include "app/framework/dialog.h"
#include "app/framework/memory_window_host.h"
#include "ui/window_controls.h"

namespace tolven {
namespace {

constexpr uint32_t kTestDialog = 7;
constexpr int32_t kIdcGo = 100;
constexpr int32_t kIdcLog = 101;
constexpr int32_t kIdcBar = 102;

constexpr ControlTemplate kControls[] = {
    {kIdOk, ControlClass::kButton, u"OK", 0x50010001, {0, 0, 10, 10}},
    {kIdcGo, ControlClass::kButton, u"Go", 0x50010000, {0, 10, 10, 20}},
    {kIdcLog, ControlClass::kEdit, u"", 0x50A10844, {0, 20, 10, 30}},
    {kIdcBar, ControlClass::kProgress, u"", 0x40800000, {0, 30, 10, 40}},
};
constexpr DialogTemplate kDialogs[] = {
    {kTestDialog, u"Test", 0x90C800C0, 0, {0, 0, 100, 50}, kControls},
};
const ResourceSet kResources{kDialogs, {}, {}};

// A base dialog with a map of its own, to check the chaining.
class BaseDialog : public CDialog {
  public:
    explicit BaseDialog(IDialogHost& host) : CDialog(kTestDialog, host) {}
    std::vector<std::string> handled;

  protected:
    const MessageMap* GetMessageMap() const override {
        static const MessageMapEntry kEntries[] = {
            MapWmPaint<&BaseDialog::OnPaintBase>(),
            MapBnClicked<&BaseDialog::OnGoBase>(kIdcGo),
        };
        static const MessageMap kMap{CDialog::GetMessageMap(), kEntries};
        return &kMap;
    }
    void OnPaintBase() { handled.push_back("base paint"); }
    void OnGoBase() { handled.push_back("base go"); }
};

class TestDialog : public BaseDialog {
  public:
    explicit TestDialog(IDialogHost& host) : BaseDialog(host) {}

    CEdit m_log;
    CProgressCtrl m_bar;
    CButton m_go;
    bool controlsBoundAtInit = false;
    intptr_t defaultInsideNested = -1;
    intptr_t defaultAfterNested = -1;

  protected:
    const MessageMap* GetMessageMap() const override {
        static const MessageMapEntry kEntries[] = {
            MapBnClicked<&TestDialog::OnGo>(kIdcGo),
            MapWmDeviceChange<&TestDialog::OnDeviceChange>(),
        };
        static const MessageMap kMap{BaseDialog::GetMessageMap(), kEntries};
        return &kMap;
    }
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, kIdcLog, m_log);
        DDX_Control(pDX, kIdcBar, m_bar);
        DDX_Control(pDX, kIdcGo, m_go);
    }
    bool OnInitDialog() override {
        CDialog::OnInitDialog();
        controlsBoundAtInit = m_log.GetSafeHwnd() != 0 && m_bar.GetSafeHwnd() != 0 && m_go.GetSafeHwnd() != 0;
        return true;
    }
    void OnGo() { handled.push_back("derived go"); }
    // A device change that arrives while another one is being handled (a nested modal loop):
    // each Default() must refer to its own message.
    intptr_t OnDeviceChange(uint32_t eventType, uintptr_t) {
        if (eventType == kDbtDeviceArrival) {
            SendMessageW(kWmDeviceChange, kDbtDeviceRemoveComplete, 0);
            defaultAfterNested = Default();
            return defaultAfterNested;
        }
        defaultInsideNested = Default();
        return defaultInsideNested;
    }
};

// Records what reaches the default processing, answering device changes with their event code.
class EchoHost : public MemoryWindowHost {
  public:
    EchoHost() : MemoryWindowHost(kResources) {}
    intptr_t DefWindowProcW(WindowHandle window, const Message& message) override {
        if (message.message == kWmDeviceChange) {
            return static_cast<intptr_t>(message.wParam);
        }
        return MemoryWindowHost::DefWindowProcW(window, message);
    }
};

TEST(MessageMapTest, TheDerivedMapComesFirstThenTheBaseMapThenTheDialogsOwnHandling) {
    struct Case {
        const char* name;
        Message message;
        std::vector<std::string> handled;
        bool ends;
    };
    const Case cases[] = {
        {"a command of the derived map hides the base entry",
         {kWmCommand, MakeCommandParam(kIdcGo, kBnClicked), 0},
         {"derived go"},
         false},
        {"a message only the base map has", {kWmPaint, 0, 0}, {"base paint"}, false},
        {"another notification code of the same control is not taken",
         {kWmCommand, MakeCommandParam(kIdcGo, 5), 0},
         {},
         false},
        {"the same code from another control is not taken",
         {kWmCommand, MakeCommandParam(kIdcLog, kBnClicked), 0},
         {},
         false},
        {"IDOK ends the dialog", {kWmCommand, MakeCommandParam(kIdOk, kBnClicked), 0}, {}, true},
        {"IDCANCEL ends the dialog", {kWmCommand, MakeCommandParam(kIdCancel, kBnClicked), 0}, {}, true},
        {"the close box ends the dialog", {kWmSysCommand, kScClose, 0}, {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EchoHost host;
        TestDialog dialog(host);
        bool endedByMessage = false;
        host.Post([&] {
            const WindowHandle window = host.ActiveDialog();
            host.Dispatch(window, c.message);
            endedByMessage = host.FindWindow(window)->ended;
        });
        dialog.DoModal();
        EXPECT_EQ(dialog.handled, c.handled);
        EXPECT_EQ(endedByMessage, c.ends);
    }
}

TEST(DialogTest, DoModalReturnsTheEndResultAndMinusOneWithoutATemplate) {
    EchoHost host;
    TestDialog dialog(host);
    host.Post([&] { host.PostClick(host.ActiveDialog(), kIdOk); });
    EXPECT_EQ(dialog.DoModal(), kIdOk);

    CDialog missing(99, host);
    EXPECT_EQ(missing.DoModal(), -1);
}

TEST(DialogTest, ControlsAreBoundForTheDialogsLifeAndDetachedAfter) {
    EchoHost host;
    TestDialog dialog(host);
    int32_t lineCount = 0;
    std::vector<std::pair<int32_t, int32_t>> scrolls;
    MemoryWindowHost::ProgressState bar;
    bool barVisible = true;
    host.Post([&] {
        ILogControl& log = dialog.m_log;
        log.SetWindowTextW(u"a\r\nb\r\n");
        lineCount = log.GetLineCount();
        log.LineScroll(0, lineCount);
        IProgressControl& progress = dialog.m_bar;
        progress.SendMessageW(kPbmSetRange, 0, 0x40000);
        progress.SendMessageW(kPbmSetPos, 0, 0);
        progress.SendMessageW(kPbmSetStep, 1, 0);
        for (int i = 0; i < 4; ++i) {
            progress.SendMessageW(kPbmStepIt, 0, 0);
        }
        const auto* edit = host.FindWindow(dialog.m_log.GetSafeHwnd());
        scrolls = edit->scrolls;
        const auto* barWindow = host.FindWindow(dialog.m_bar.GetSafeHwnd());
        bar = barWindow->progress;
        barVisible = barWindow->visible;
        IEnableableButton& go = dialog.m_go;
        go.EnableWindow(false);
    });
    bool goEnabled = true;
    host.Post([&] { goEnabled = dialog.m_go.IsWindowEnabled(); });
    dialog.DoModal();

    EXPECT_TRUE(dialog.controlsBoundAtInit);
    EXPECT_EQ(lineCount, 3) << "two lines and the empty one after the last CR LF";
    EXPECT_EQ(scrolls, (std::vector<std::pair<int32_t, int32_t>>{{0, 3}}));
    EXPECT_EQ(bar.low, 0u);
    EXPECT_EQ(bar.high, 4u);
    EXPECT_EQ(bar.position, 4);
    EXPECT_FALSE(barVisible) << "a control created without the visible style stays hidden";
    EXPECT_FALSE(goEnabled);
    EXPECT_EQ(dialog.m_log.GetSafeHwnd(), 0u) << "detached when the window went";
    EXPECT_EQ(dialog.m_log.GetWindowTextW(), u"") << "a detached control answers nothing";
}

TEST(DialogTest, DefaultRefersToTheMessageOfItsOwnNestingLevel) {
    EchoHost host;
    TestDialog dialog(host);
    host.Post([&] { host.Dispatch(host.ActiveDialog(), Message{kWmDeviceChange, kDbtDeviceArrival, 0}); });
    dialog.DoModal();
    EXPECT_EQ(dialog.defaultInsideNested, static_cast<intptr_t>(kDbtDeviceRemoveComplete));
    EXPECT_EQ(dialog.defaultAfterNested, static_cast<intptr_t>(kDbtDeviceArrival));
}

TEST(MemoryHostTest, CountsEditLinesAsAnEditControlDoes) {
    struct Case {
        const char* name;
        std::u16string text;
        int32_t lines;
    };
    const Case cases[] = {
        {"empty text is one line", u"", 1},
        {"text without a line end", u"abc", 1},
        {"a final CR LF starts an empty line", u"abc\r\n", 2},
        {"a lone LF is no line end", u"a\nb", 1},
        {"a lone CR is no line end", u"a\rb", 1},
        {"an empty line in the middle", u"a\r\n\r\nb", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CountEditLines(c.text), c.lines);
    }
}

}  // namespace
}  // namespace tolven
