#include "device/drive_info_panel.h"

#include <gtest/gtest.h>

#include "tests/support/device_fakes.h"

namespace tolven {
namespace {

using testing::CanvasCall;
using testing::FakeEnableableButton;
using testing::FakeStorageIdentification;
using testing::FakeVolumeInformation;
using testing::PanelRecorder;
using Kind = CanvasCall::Kind;

constexpr Rect kClient{0, 0, 289, 63};

CPlayerDriveInfo PlayerAt(char letter, const char16_t* vendor = u"TOLVEN", const char16_t* model = u"VQ10") {
    CPlayerDriveInfo record;
    record.m_nDrive = letter;
    record.m_strRoot = {static_cast<char16_t>(letter), u':', u'\\'};
    record.m_strVendor = vendor;
    record.m_strModel = model;
    return record;
}

// A player at E: whose volume reports the given space, with its panel drawn once.
struct PanelWithSpace {
    PanelWithSpace(uint64_t total, uint64_t free, bool spaceFails = false) {
        volumes.label = u"PMP";
        volumes.spaceFails = spaceFails;
        volumes.totalBytes = total;
        volumes.freeBytes = free;
        DrawDriveInfoPanel(record, volumes, recorder.Source());
    }
    CPlayerDriveInfo record = PlayerAt('E');
    FakeVolumeInformation volumes;
    PanelRecorder recorder;
};

bool SameRect(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::vector<Kind> KindsOf(const std::vector<CanvasCall>& calls) {
    std::vector<Kind> kinds;
    for (const CanvasCall& call : calls) {
        kinds.push_back(call.kind);
    }
    return kinds;
}

// One drawn line of the panel: its text, colour and DrawTextW format, placed in the full field.
struct ExpectedLine {
    std::u16string text;
    ColorRef color;
    uint32_t format;
};

constexpr ColorRef kBlack = MakeColorRef(0, 0, 0);
constexpr ColorRef kRed = MakeColorRef(255, 0, 0);

void ExpectLines(const PanelRecorder& recorder, const std::vector<ExpectedLine>& lines) {
    const std::vector<CanvasCall> texts = recorder.Texts();
    ASSERT_EQ(texts.size(), lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE("line " + std::to_string(i + 1));
        EXPECT_EQ(texts[i].text, lines[i].text);
        EXPECT_EQ(texts[i].color, lines[i].color);
        EXPECT_EQ(texts[i].format, lines[i].format);
        EXPECT_TRUE(SameRect(texts[i].rect, kClient)) << "every line is placed in the full field";
    }
}

TEST(DrawDriveInfoPanelTest, WithoutAPlayerShowsOnlyTheCentredNoPlayerLine) {
    CPlayerDriveInfo record;
    record.m_nDrive = kDriveNoPlayer;
    FakeVolumeInformation volumes;
    PanelRecorder recorder;
    DrawDriveInfoPanel(record, volumes, recorder.Source());

    EXPECT_EQ(KindsOf(recorder.calls),
              (std::vector<Kind>{Kind::kSetBkMode, Kind::kGetClientRect, Kind::kRectangle,
                                 Kind::kGetClientRect, Kind::kSetTextColor, Kind::kDrawText,
                                 Kind::kUpdateWindow, Kind::kUpdateWindow, Kind::kReleaseDC}));
    EXPECT_EQ(recorder.calls[0].value, kBkModeTransparent);
    const CanvasCall outline = recorder.Rectangles().at(0);
    EXPECT_TRUE(SameRect(outline.rect, kClient));
    EXPECT_EQ(outline.fill, PanelRecorder::kWhite) << "drawn with the context's default brush";
    ExpectLines(recorder, {{u"TOLVEN 제품이 연결되지 않았습니다", kBlack, 0x825u}});
    EXPECT_EQ(recorder.calls[6].window, PanelWindow::kPanelFrame);
    EXPECT_EQ(recorder.calls[7].window, PanelWindow::kLogEdit);
    EXPECT_TRUE(volumes.labelQueries.empty());
    EXPECT_TRUE(volumes.spaceQueries.empty());
    EXPECT_EQ(record.m_nDrive, kDriveNoPlayer);
}

TEST(DrawDriveInfoPanelTest, APlayerShowsLetterLabelIdentificationBarAndFigures) {
    CPlayerDriveInfo record = PlayerAt('E');
    FakeVolumeInformation volumes;
    volumes.label = u"PMP";
    volumes.totalBytes = 40'007'729'152ULL;
    volumes.freeBytes = 30'005'796'864ULL;
    PanelRecorder recorder;
    DrawDriveInfoPanel(record, volumes, recorder.Source());

    EXPECT_EQ(volumes.labelQueries, std::vector<std::u16string>{u"E:\\"});
    EXPECT_EQ(volumes.lastCapacity, 33u);
    EXPECT_EQ(volumes.spaceQueries, std::vector<std::u16string>{u"E:\\"});
    EXPECT_EQ(record.m_nDrive, 'E');
    EXPECT_EQ(std::u16string(record.m_szVolumeLabel), u"PMP");

    ExpectLines(recorder, {{u" E: PMP", kRed, 0x820u},
                           {u"TOLVEN VQ10", kBlack, 0x825u},
                           {u"29,302,536KB Free / 39,070,048KB Total ", kBlack, 0x82Au}});

    const std::vector<CanvasCall> rectangles = recorder.Rectangles();
    ASSERT_EQ(rectangles.size(), 2u);
    const CanvasCall bar = rectangles[1];
    EXPECT_TRUE(SameRect(bar.rect, Rect{0, 0, 72, 63}));  // 289 × 10,001,932,288 ÷ 40,007,729,152
    EXPECT_EQ(bar.fill, 0x00FF7900u);
    EXPECT_EQ(bar.penColor, kBlack);
    // The bar's brush and pen go back out and are deleted before the context is released.
    EXPECT_EQ(recorder.LiveObjects(), 0u);
    EXPECT_EQ(recorder.selectedBrush, PanelRecorder::kStockBrush);
    EXPECT_EQ(recorder.selectedPen, PanelRecorder::kStockPen);
    EXPECT_EQ(recorder.Of(Kind::kCreatePen).at(0).value, 1) << "one pixel wide";
    EXPECT_EQ(recorder.getDcCount, 1);
    EXPECT_EQ(recorder.releaseCount, 1);
    EXPECT_EQ(recorder.calls.back().kind, Kind::kReleaseDC);
}

TEST(DrawDriveInfoPanelTest, TheFirstLineShowsTheLabelAsTheVolumeReportsIt) {
    struct LabelCase {
        const char* name;
        std::u16string label;
        std::u16string firstLine;
    };
    const LabelCase cases[] = {
        {"no label", u"", u" E: "},
        {"Korean label", u"음악", u" E: 음악"},
        {"label of 32 characters", std::u16string(32, u'L'), u" E: " + std::u16string(32, u'L')},
        {"longer label is held to the buffer", std::u16string(40, u'L'), u" E: " + std::u16string(32, u'L')},
    };
    for (const LabelCase& c : cases) {
        SCOPED_TRACE(c.name);
        CPlayerDriveInfo record = PlayerAt('E');
        FakeVolumeInformation volumes;
        volumes.label = c.label;
        volumes.totalBytes = 1 << 20;
        PanelRecorder recorder;
        DrawDriveInfoPanel(record, volumes, recorder.Source());
        EXPECT_EQ(recorder.Texts().at(0).text, c.firstLine);
    }
}

TEST(DrawDriveInfoPanelTest, AnUnreadableVolumeShowsNotFormattedUntilTheNextScan) {
    CPlayerDriveInfo record = PlayerAt('F');
    FakeVolumeInformation volumes;
    volumes.labelFails = true;
    volumes.totalBytes = 1 << 20;

    PanelRecorder first;
    DrawDriveInfoPanel(record, volumes, first.Source());
    EXPECT_EQ(record.m_nDrive, kDriveVolumeUnreadable);
    EXPECT_TRUE(volumes.spaceQueries.empty());
    auto expectNotFormatted = [](const PanelRecorder& recorder) {
        ExpectLines(recorder, {{u" F: ", kRed, 0x820u}, {u"포맷이 안되어 있습니다", kBlack, 0x825u}});
        EXPECT_EQ(recorder.Rectangles().size(), 1u) << "outline only, no bar";
    };
    expectNotFormatted(first);

    // Later paints do not ask the volume again, even once it could answer.
    volumes.labelFails = false;
    PanelRecorder second;
    DrawDriveInfoPanel(record, volumes, second.Source());
    expectNotFormatted(second);
    EXPECT_EQ(volumes.labelQueries.size(), 1u);
    EXPECT_EQ(record.m_nDrive, kDriveVolumeUnreadable);

    // A scan stores the letter again; the next paint reads the volume.
    FakeStorageIdentification storage;
    storage.AddUsbDrive('F', "TOLVEN", "VQ10");
    FakeEnableableButton button;
    record.m_nDrive = record.ScanForPlayer(storage, button);
    PanelRecorder third;
    DrawDriveInfoPanel(record, volumes, third.Source());
    EXPECT_EQ(volumes.labelQueries.size(), 2u);
    EXPECT_EQ(record.m_nDrive, 'F');
    EXPECT_EQ(third.Texts().size(), 3u);
}

TEST(DrawDriveInfoPanelTest, WithoutAUsableTotalTheFiguresAndBarAreLeftOut) {
    struct SpaceCase {
        const char* name;
        bool spaceFails;
        uint64_t total;
        uint64_t free;
    };
    const SpaceCase cases[] = {
        {"space query fails", true, 1 << 20, 1 << 10},
        {"total of zero bytes", false, 0, 0},
        {"total of zero with free bytes", false, 0, 4096},
    };
    for (const SpaceCase& c : cases) {
        SCOPED_TRACE(c.name);
        const PanelWithSpace panel(c.total, c.free, c.spaceFails);
        ExpectLines(panel.recorder, {{u" E: PMP", kRed, 0x820u}, {u"TOLVEN VQ10", kBlack, 0x825u}});
        EXPECT_EQ(panel.recorder.Rectangles().size(), 1u);
        EXPECT_EQ(panel.record.m_nDrive, 'E') << "the label was read: the volume counts as formatted";
    }
}

TEST(DrawDriveInfoPanelTest, TheBarSpansTheUsedShareAndTurnsFullColourOnlyWhenNothingIsFree) {
    struct BarCase {
        const char* name;
        uint64_t total;
        uint64_t free;
        int32_t right;
        ColorRef fill;
    };
    constexpr ColorRef kBlue = 0x00FF7900;
    constexpr ColorRef kFull = 0x00FF79FF;
    const BarCase cases[] = {
        {"no byte free", 1'000'000, 0, 289, kFull},
        {"no byte used", 1'000'000, 1'000'000, 0, kBlue},
        {"one byte free of 2 TiB", 2ULL << 40, 1, 288, kBlue},
        {"half used rounds down", 1'000'000, 500'000, 144, kBlue},
        {"one byte used", 1'000'000, 999'999, 0, kBlue},
        {"more free than total shows as empty", 1'000, 5'000, 0, kBlue},
        // 289 × used exceeds 64 bits here; the edge must still be exact.
        {"volume of 2^63 bytes, half used", 1ULL << 63, 1ULL << 62, 144, kBlue},
        {"volume near 2^64 bytes, all but one used", ~0ULL, 1, 288, kBlue},
        {"volume near 2^64 bytes, full", ~0ULL, 0, 289, kFull},
    };
    for (const BarCase& c : cases) {
        SCOPED_TRACE(c.name);
        const PanelWithSpace panel(c.total, c.free);
        const std::vector<CanvasCall> rectangles = panel.recorder.Rectangles();
        ASSERT_EQ(rectangles.size(), 2u);
        EXPECT_TRUE(SameRect(rectangles[1].rect, Rect{0, 0, c.right, 63}))
            << "right edge " << rectangles[1].rect.right << ", expected " << c.right;
        EXPECT_EQ(rectangles[1].fill, c.fill);
    }
}

TEST(DrawDriveInfoPanelTest, TheBarEdgeStaysWithinTheFieldForInconsistentCounts) {
    EXPECT_EQ(UsedBarRight(289, 5, 0), 0) << "no total";
    EXPECT_EQ(UsedBarRight(289, 10, 5), 289) << "more used than total";
    EXPECT_EQ(UsedBarRight(-289, 1, 2), -144) << "truncates toward zero";
}

TEST(DrawDriveInfoPanelTest, FiguresAreWholeKilobytesWithThousandsSeparators) {
    struct FigureCase {
        const char* name;
        uint64_t total;
        uint64_t free;
        std::u16string line;
    };
    const FigureCase cases[] = {
        {"1023 free bytes are 0 KB", 1'047'552, 1'023, u"0KB Free / 1,023KB Total "},
        {"1,024,000 free bytes are 1,000 KB", 2'048'000, 1'024'000, u"1,000KB Free / 2,000KB Total "},
        {"seven digits", 1'264'195'584ULL, 1'264'195'584ULL, u"1,234,566KB Free / 1,234,566KB Total "},
        {"three digits have no separator", 1'023'999, 0, u"0KB Free / 999KB Total "},
        {"largest total", ~0ULL, 0, u"0KB Free / 18,014,398,509,481,983KB Total "},
    };
    for (const FigureCase& c : cases) {
        SCOPED_TRACE(c.name);
        const PanelWithSpace panel(c.total, c.free);
        EXPECT_EQ(panel.recorder.Texts().at(2).text, c.line);
    }
}

TEST(DrawDriveInfoPanelTest, ResourcesAreReleasedWhenTheContextOrABrushCannotBeHad) {
    {
        SCOPED_TRACE("no device context");
        CPlayerDriveInfo record = PlayerAt('E');
        FakeVolumeInformation volumes;
        volumes.labelFails = true;
        PanelRecorder recorder;
        recorder.getDcFails = true;
        DrawDriveInfoPanel(record, volumes, recorder.Source());
        EXPECT_EQ(record.m_nDrive, kDriveVolumeUnreadable) << "the record is still brought up to date";
        EXPECT_TRUE(recorder.calls.empty());
    }
    {
        SCOPED_TRACE("no brush");
        CPlayerDriveInfo record = PlayerAt('E');
        FakeVolumeInformation volumes;
        volumes.totalBytes = 1 << 20;
        PanelRecorder recorder;
        recorder.brushFails = true;
        DrawDriveInfoPanel(record, volumes, recorder.Source());
        EXPECT_EQ(recorder.Rectangles().size(), 1u) << "no bar without its brush";
        EXPECT_EQ(recorder.LiveObjects(), 0u) << "the pen is deleted all the same";
        EXPECT_EQ(recorder.Texts().size(), 3u);
    }
}

TEST(InsertThousandsSeparatorsTest, GroupsTheIntegerPartInThrees) {
    struct SeparatorCase {
        std::u16string text;
        std::u16string expected;
    };
    const SeparatorCase cases[] = {
        {u"", u""},
        {u"0", u"0"},
        {u"123", u"123"},
        {u"1234", u"1,234"},
        {u"123456", u"123,456"},
        {u"1234567", u"1,234,567"},
        {u"1000000000", u"1,000,000,000"},
        {u"1234.5678", u"1,234.5678"},
        {u"123.4567", u"123.4567"},
        {u"1234567.89.1234", u"1,234,567.89.1234"},
        {u".12345", u".12345"},
        {u"-1234", u"-1,234"},
        {u"-123", u"-123"},
    };
    for (const SeparatorCase& c : cases) {
        std::u16string text = c.text;
        InsertThousandsSeparators(text);
        EXPECT_EQ(text, c.expected) << "for input of " << c.text.size() << " characters";
    }
}

}  // namespace
}  // namespace tolven
