#include "platform/linux/terminal/text_panel_canvas.h"

#include <gtest/gtest.h>

#include "platform/linux/terminal/terminal_text.h"

namespace tolven::linux_host {
namespace {

constexpr uint32_t kTopLeft = kDtSingleLine | kDtNoPrefix;
constexpr uint32_t kCentred = kDtSingleLine | kDtNoPrefix | kDtCenter | kDtVCenter;
constexpr uint32_t kBottomRight = kDtSingleLine | kDtNoPrefix | kDtRight | kDtBottom;

// Draws as the panel does: the field, then a bar with a brush and pen of its own selected and
// restored, then the texts.
PanelDrawing DrawLikeThePanel(int32_t barRight, bool withBar) {
    PanelDrawing drawing;
    {
        TextPanelCanvas canvas([&](const PanelDrawing& d) { drawing = d; });
        const Rect client = canvas.GetClientRect();
        canvas.Rectangle(client.left, client.top, client.right, client.bottom);
        if (withBar) {
            const GdiObject brush = canvas.CreateSolidBrush(MakeColorRef(0, 121, 255));
            const GdiObject pen = canvas.CreatePen(kPenStyleSolid, 1, 0);
            const GdiObject oldBrush = canvas.SelectObject(brush);
            const GdiObject oldPen = canvas.SelectObject(pen);
            canvas.Rectangle(client.left, client.top, barRight, client.bottom);
            canvas.SelectObject(oldBrush);
            canvas.SelectObject(oldPen);
            canvas.DeleteObject(brush);
            canvas.DeleteObject(pen);
            // The field drawn again with the restored stock brush is no bar.
            canvas.Rectangle(client.left, client.top, client.right, client.bottom);
        }
        Rect rect = client;
        canvas.DrawTextW(u" E: PMP", rect, kTopLeft);
        canvas.DrawTextW(u"TOLVEN VQ10", rect, kCentred);
        if (withBar) {
            canvas.DrawTextW(u"1,000KB Free / 2,000KB Total ", rect, kBottomRight);
        }
    }
    return drawing;
}

TEST(TextPanelCanvasTest, RecordsTheBarOnlyWhenDrawnWithABrushOfItsOwn) {
    const PanelDrawing withBar = DrawLikeThePanel(15, true);
    ASSERT_TRUE(withBar.bar);
    EXPECT_EQ(withBar.bar->right, 15);
    EXPECT_EQ(withBar.bar->fill, MakeColorRef(0, 121, 255));
    EXPECT_EQ(withBar.texts.size(), 3u);

    const PanelDrawing withoutBar = DrawLikeThePanel(0, false);
    EXPECT_FALSE(withoutBar.bar) << "the white field is not a bar";
}

TEST(RenderPanelTest, PlacesTheLinesAndDrawsTheBarInCharacters) {
    const std::vector<std::string> lines = RenderPanel(DrawLikeThePanel(15, true));
    ASSERT_EQ(lines.size(), 6u);
    const std::string edge = "+" + std::string(kPanelColumns, '-') + "+";
    EXPECT_EQ(lines[0], edge);
    EXPECT_EQ(lines[1], "| E: PMP" + std::string(kPanelColumns - 7, ' ') + "|");
    const std::string centred = "TOLVEN VQ10";
    const std::size_t left = (kPanelColumns - centred.size()) / 2;
    EXPECT_EQ(lines[2], "|" + std::string(left, ' ') + centred +
                            std::string(kPanelColumns - left - centred.size(), ' ') + "|");
    EXPECT_EQ(lines[3], "|" + std::string(15, '#') + std::string(kPanelColumns - 15, '.') + "|");
    const std::string right = "1,000KB Free / 2,000KB Total ";
    EXPECT_EQ(lines[4], "|" + std::string(kPanelColumns - right.size(), ' ') + right + "|");
    EXPECT_EQ(lines[5], edge);
}

TEST(RenderPanelTest, WideHangulTakesTwoColumnsSoTheFrameStaysStraight) {
    PanelDrawing drawing;
    drawing.texts.push_back(PanelText{u"포맷이 안되어 있습니다", kCentred, 0});
    const std::vector<std::string> lines = RenderPanel(drawing);
    const std::u16string text = u"포맷이 안되어 있습니다";
    const std::size_t width = DisplayWidth(text);
    EXPECT_EQ(width, 22u) << "ten syllables of two columns and two blanks";
    const std::size_t left = (kPanelColumns - width) / 2;
    EXPECT_EQ(lines[2], "|" + std::string(left, ' ') + ToUtf8(text) +
                            std::string(kPanelColumns - left - width, ' ') + "|");
    EXPECT_EQ(lines[3], "|" + std::string(kPanelColumns, ' ') + "|") << "no bar without a player volume";
}

TEST(RenderPanelTest, ControlsInADevicesTextShowAsQuestionMarksAndKeepTheFrameStraight) {
    // A vendor text widened byte for byte can carry C0 and C1 controls; a label, a lone surrogate.
    PanelDrawing drawing;
    drawing.texts.push_back(PanelText{u"E: \x1b]0;x\a\n", kTopLeft, 0});
    drawing.texts.push_back(PanelText{u"TOLVEN \u009b2J\xD800", kCentred, 0});
    const std::vector<std::string> lines = RenderPanel(drawing, kNarrowestPanelColumns);
    EXPECT_EQ(lines[1], "|E: ?]0;x??" + std::string(kNarrowestPanelColumns - 10, ' ') + "|");
    const std::string centred = "TOLVEN ?2J?";
    const std::size_t left = (kNarrowestPanelColumns - centred.size()) / 2;
    EXPECT_EQ(lines[2], "|" + std::string(left, ' ') + centred +
                            std::string(kNarrowestPanelColumns - left - centred.size(), ' ') + "|");
}

TEST(RenderPanelTest, FitsANarrowTerminalWithoutWrapping) {
    struct Case {
        int terminalColumns;
        int32_t panelColumns;
    };
    const Case cases[] = {{200, kPanelColumns}, {62, kPanelColumns}, {50, 48}, {40, 38}, {20, 38}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.terminalColumns);
        ASSERT_EQ(PanelColumnsFor(c.terminalColumns), c.panelColumns);
        PanelDrawing drawing;
        drawing.texts.push_back(
            PanelText{u"TOLVEN 제품이 연결되지 않았습니다. 다시 확인하세요", kCentred, 0});
        drawing.texts.push_back(PanelText{u"39,057,984KB Free / 39,060,480KB Total ", kBottomRight, 0});
        drawing.bar = PanelBar{0, 100, 0};
        for (const std::string& line : RenderPanel(drawing, c.panelColumns)) {
            // Every line is exactly the frame's width; Hangul is counted from the UTF-8 lead bytes.
            std::size_t columns = 0;
            for (const char ch : line) {
                const auto byte = static_cast<unsigned char>(ch);
                columns += (byte & 0xC0) == 0x80 ? 0 : (byte >= 0xE0 ? 2 : 1);
            }
            EXPECT_EQ(columns, static_cast<std::size_t>(c.panelColumns + 2)) << line;
        }
    }
}

TEST(TerminalTextTest, ConvertsTheLogToUtf8WithTheTerminalsLineEnds) {
    EXPECT_EQ(ToUtf8(TerminalLineEnds(u"포맷작업 완료\r\n\r\n")), "포맷작업 완료\n\n");
    EXPECT_EQ(ToUtf8(u"a\r b"), "a\r b") << "a lone CR is kept";
    EXPECT_EQ(ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(ToUtf8(std::u16string(1, char16_t{0xD800})), "\xEF\xBF\xBD") << "a lone surrogate";
}

}  // namespace
}  // namespace tolven::linux_host
