#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/dialog_texts.h"
#include "app/resource_ids.h"
#include "app/tolven_format_dlg.h"
#include "tests/app/dialog_test_host.h"

namespace tolven {
namespace {

using testing::DialogFixture;
using testing::VolumeCallKind;

const std::u16string kIntroduction = std::u16string(kIntroductionText) + u"\r\n";

// Runs the dialog and clicks Format once (or more) after start-up.
void RunWithClicks(DialogFixture& f, CTolvenFormatDlg& dialog, int clicks = 1) {
    for (int i = 0; i < clicks; ++i) {
        f.host.PostClickFormat();
    }
    dialog.DoModal();
}

// The log after the introduction, line by line.
std::vector<std::u16string> LinesAfterIntroduction(const DialogFixture& f) {
    std::vector<std::u16string> lines = f.host.LogLines();
    EXPECT_GE(lines.size(), 2u);
    lines.erase(lines.begin(), lines.begin() + std::min<std::size_t>(2, lines.size()));
    return lines;
}

std::vector<std::u16string> OpenedPaths(const DialogFixture& f) {
    std::vector<std::u16string> paths;
    for (const auto& call : f.volumeSystem.CallsOf(VolumeCallKind::kOpen)) {
        paths.push_back(call.path);
    }
    return paths;
}

const std::vector<std::u16string> kCommandLines = {
    u"Volume Label을 'PMP'로 바꿉니다.",
    u"시스템에 필요한 기본폴더 생성 및 파일들을 복사중입니다...",
    u"파일 복사가 완료되었습니다.",
    u"",
};

TEST(FormatCommandTest, WithoutAPlayerShowsOnlyTheInformationBox) {
    DialogFixture f;
    CTolvenFormatDlg dialog(f.host, f.services);
    int paintsBefore = -1;
    f.host.PostToDialog([&](WindowHandle) { paintsBefore = f.host.panelPaints; });
    RunWithClicks(f, dialog);

    ASSERT_EQ(f.host.boxes.size(), 1u);
    EXPECT_EQ(f.host.boxes[0].text, u"TOLVEN 제품이 연결되지 않았습니다.");
    EXPECT_EQ(f.host.boxes[0].caption, u"장치확인");
    EXPECT_EQ(f.host.boxes[0].type, 0x40u);
    EXPECT_NE(f.host.boxes[0].owner, 0u) << "the box belongs to the dialog";
    EXPECT_EQ(f.host.logText, kIntroduction) << "nothing is logged";
    EXPECT_EQ(f.host.panelPaints, paintsBefore) << "the panel is not redrawn";
    EXPECT_TRUE(f.volumeSystem.calls.empty()) << "no volume is opened";
    EXPECT_EQ(dialog.LastFormatReport().outcome, FormatOutcome::kNoPlayer);
}

TEST(FormatCommandTest, TheConfirmationNamesThePlayersDrive) {
    for (char letter : {'D', 'F', 'Z'}) {
        SCOPED_TRACE(std::string("drive ") + letter);
        DialogFixture f;
        f.AttachPlayer(letter);
        f.host.answers = {kIdNo};
        CTolvenFormatDlg dialog(f.host, f.services);
        RunWithClicks(f, dialog);
        ASSERT_EQ(f.host.boxes.size(), 1u);
        EXPECT_EQ(f.host.boxes[0].caption,
                  std::u16string(1, static_cast<char16_t>(letter)) + u": 드라이브 포맷");
        EXPECT_EQ(f.host.boxes[0].text,
                  u"포맷할 경우, 하드디스크 장치의 모든 자료가 삭제 됩니다. 포맷하시겠습니까?");
        EXPECT_EQ(f.host.boxes[0].type, 0x34u) << "Yes/No with the exclamation icon, Yes the default";
    }
}

TEST(FormatCommandTest, NoLeavesTheLogAndThePlayerAloneAndRepaints) {
    DialogFixture f;
    f.AttachPlayer('E');
    f.host.answers = {kIdNo};
    CTolvenFormatDlg dialog(f.host, f.services);
    int paintsBefore = -1;
    f.host.PostToDialog([&](WindowHandle) { paintsBefore = f.host.panelPaints; });
    RunWithClicks(f, dialog);

    EXPECT_EQ(f.host.logText, kIntroduction);
    EXPECT_TRUE(f.volumeSystem.calls.empty());
    EXPECT_TRUE(f.labels.calls.empty());
    EXPECT_TRUE(f.files.directories.empty());
    EXPECT_EQ(f.host.panelPaints, paintsBefore + 1);
    EXPECT_EQ(dialog.LastFormatReport().outcome, FormatOutcome::kDeclined);
}

TEST(FormatCommandTest, AFailedFormatAddsNoLineOfItsOwn) {
    DialogFixture f;
    f.AttachPlayer('E');
    f.volumeSystem.faults.lockSucceedsAtAttempt = 0;
    CTolvenFormatDlg dialog(f.host, f.services);
    int paintsBefore = -1;
    f.host.PostToDialog([&](WindowHandle) { paintsBefore = f.host.panelPaints; });
    RunWithClicks(f, dialog);

    EXPECT_EQ(LinesAfterIntroduction(f),
              (std::vector<std::u16string>{u"장치 lock에 실패했습니다.", u"포맷작업 중 에러발생"}));
    EXPECT_TRUE(f.labels.calls.empty()) << "no label on a failed format";
    EXPECT_TRUE(f.files.directories.empty()) << "no content on a failed format";
    EXPECT_EQ(f.host.panelPaints, paintsBefore + 1);
    EXPECT_EQ(dialog.LastFormatReport().outcome, FormatOutcome::kFormatFailed);
}

TEST(FormatCommandTest, SuccessLabelsInstallsAndLogsThreeLinesAndAnEmptyOne) {
    DialogFixture f;
    f.AttachPlayer('E', "VQ40");
    CTolvenFormatDlg dialog(f.host, f.services);  // no scripted answer: Enter, the default, is Yes
    int paintsBefore = -1;
    f.host.PostToDialog([&](WindowHandle) { paintsBefore = f.host.panelPaints; });
    RunWithClicks(f, dialog);

    EXPECT_EQ(OpenedPaths(f), std::vector<std::u16string>{u"\\\\.\\E:"});
    EXPECT_EQ(std::to_integer<int>(f.volumeSystem.ReadSector(0)[13]), 64) << "64 sectors per cluster";

    const std::vector<std::u16string> lines = LinesAfterIntroduction(f);
    ASSERT_GE(lines.size(), 5u);
    const std::vector<std::u16string> tail(lines.end() - 5, lines.end());
    std::vector<std::u16string> expected = {u"포맷작업 완료"};
    expected.insert(expected.end(), kCommandLines.begin(), kCommandLines.end());
    EXPECT_EQ(tail, expected);
    EXPECT_EQ(f.host.logText.substr(f.host.logText.size() - 4), u"\r\n\r\n");

    ASSERT_EQ(f.labels.calls.size(), 1u);
    EXPECT_EQ(f.labels.calls[0].rootPath, "E:\\");
    EXPECT_EQ(f.labels.calls[0].label, "PMP");
    ASSERT_FALSE(f.files.directories.empty());
    EXPECT_EQ(f.files.directories[0], "E:\\SYSTEM");
    EXPECT_EQ(f.files.files.size(), 5u) << "the VQ40 files";
    EXPECT_EQ(f.host.panelPaints, paintsBefore + 1);
    EXPECT_EQ(dialog.DriveInfo().m_nDrive, 'E');
    EXPECT_EQ(dialog.LastFormatReport().outcome, FormatOutcome::kSucceeded);
}

TEST(FormatCommandTest, AFailedCopyIsReportedInsteadOfTheCompletion) {
    DialogFixture f;
    f.AttachPlayer('E');
    f.files.refuseFiles = true;
    CTolvenFormatDlg dialog(f.host, f.services);
    RunWithClicks(f, dialog);

    const std::vector<std::u16string> lines = LinesAfterIntroduction(f);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[lines.size() - 3], kCommandLines[0]);
    EXPECT_EQ(lines[lines.size() - 2], kCommandLines[1]);
    EXPECT_EQ(lines.back(), u"파일 복사에 실패하였습니다.");
    EXPECT_EQ(dialog.LastFormatReport().outcome, FormatOutcome::kCopyFailed);
}

TEST(FormatCommandTest, ARefusedLabelIsNotDetectedAndTheContentIsStillInstalled) {
    DialogFixture f;
    f.AttachPlayer('E', "VQ40");
    f.labels.refuse = true;
    CTolvenFormatDlg dialog(f.host, f.services);
    RunWithClicks(f, dialog);

    ASSERT_EQ(f.labels.calls.size(), 1u);
    const std::vector<std::u16string> lines = LinesAfterIntroduction(f);
    ASSERT_GE(lines.size(), 4u);
    const std::vector<std::u16string> tail(lines.end() - 4, lines.end());
    EXPECT_EQ(tail, kCommandLines);
    EXPECT_EQ(f.files.files.size(), 5u) << "the VQ40 files";
    EXPECT_EQ(dialog.LastFormatReport().outcome, FormatOutcome::kSucceeded);
}

// A host that follows the command: the steps it hears and the reasons it gives for failed ones.
class RecordingObserver final : public IFormatObserver {
  public:
    void OnStepStarted(FormatStep step) override { started.push_back(step); }
    std::string FailureReason(FormatStep step) override {
        asked.push_back(step);
        return step == FormatStep::kContent && !contentReason ? "" : "reason " + std::to_string(int(step));
    }
    bool StopRequested() override { return stop; }
    std::vector<FormatStep> started;
    std::vector<FormatStep> asked;
    bool contentReason = true;
    bool stop = false;
};

// The report is the command's one answer: each step that ends records itself in it.
TEST(FormatCommandTest, TheReportRecordsEveryStepThatEnded) {
    using Step = FormatStep;
    struct Case {
        const char* name;
        std::function<void(DialogFixture&, RecordingObserver&)> arrange;
        FormatOutcome outcome;
        std::vector<Step> started;
        std::vector<std::string> failures;
        int32_t openError;
        bool interrupted;
    };
    const Case cases[] = {
        {"declined",
         [](DialogFixture& f, RecordingObserver&) { f.host.answers = {kIdNo}; },
         FormatOutcome::kDeclined,
         {},
         {},
         0,
         false},
        {"the open refused",
         [](DialogFixture& f, RecordingObserver&) {
             f.volumeSystem.faults.openSucceedsAtAttempt = 0;
             f.volumeSystem.faults.openErrors = {5};
         },
         FormatOutcome::kFormatFailed,
         {Step::kFormat},
         {"reason 0"},
         5,
         false},
        {"label and files refused, a stop asked",
         [](DialogFixture& f, RecordingObserver& o) {
             f.labels.refuse = true;
             f.files.refuseFiles = true;
             o.stop = true;
         },
         FormatOutcome::kCopyFailed,
         {Step::kFormat, Step::kLabel},
         {"reason 1", "reason 2"},
         0,
         true},
        {"success: the content is asked about all the same",
         [](DialogFixture&, RecordingObserver& o) { o.contentReason = false; },
         FormatOutcome::kSucceeded,
         {Step::kFormat, Step::kLabel},
         {},
         0,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DialogFixture f;
        f.AttachPlayer('E');
        RecordingObserver observer;
        f.services.observer = &observer;
        c.arrange(f, observer);
        CTolvenFormatDlg dialog(f.host, f.services);
        RunWithClicks(f, dialog);
        const FormatReport& report = dialog.LastFormatReport();
        EXPECT_EQ(report.outcome, c.outcome);
        EXPECT_EQ(observer.started, c.started);
        EXPECT_EQ(report.failures, c.failures);
        EXPECT_EQ(report.openError, c.openError);
        EXPECT_EQ(report.interrupted, c.interrupted);
    }
}

TEST(FormatCommandTest, ASecondFormatContinuesTheLogBelowTheFirst) {
    DialogFixture f;
    f.AttachPlayer('E');
    CTolvenFormatDlg dialog(f.host, f.services);
    RunWithClicks(f, dialog, 2);

    const std::vector<std::u16string> lines = LinesAfterIntroduction(f);
    ASSERT_EQ(lines.size() % 2, 0u);
    const std::size_t half = lines.size() / 2;
    EXPECT_EQ(std::vector<std::u16string>(lines.begin(), lines.begin() + half),
              std::vector<std::u16string>(lines.begin() + half, lines.end()))
        << "the second format's lines follow the first's, nothing lost or repeated";
    EXPECT_EQ(f.labels.calls.size(), 2u);
}

// --- the player moves while the confirmation is open ---

TEST(FormatCommandTest, FormatsOnlyTheDriveTheConfirmationNamed) {
    struct Case {
        const char* name;
        void (*whileOpen)(DialogFixture& f);
        bool formats;
        int32_t driveAfter;
    };
    const Case cases[] = {
        {"the player moved from E to G",
         [](DialogFixture& f) {
             f.DetachDrive('E');
             f.AttachPlayer('G');
         },
         false, 'G'},
        {"another disk took E", [](DialogFixture& f) { f.storage.AddUsbDrive('E', "ACME", "STICK"); }, false,
         kDriveNoPlayer},
        {"a rescan found the player at E again",
         [](DialogFixture& f) { f.storage.AddUsbDrive('C', "ACME", "STICK"); }, true, 'E'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DialogFixture f;
        f.AttachPlayer('E');
        f.host.answers = {kIdYes};
        f.host.whileNextBoxOpen = [&] {
            c.whileOpen(f);
            f.host.Dispatch(f.host.ActiveDialog(), Message{kWmDeviceChange, kDbtDeviceArrival, 0});
        };
        CTolvenFormatDlg dialog(f.host, f.services);
        int paintsBefore = -1;
        f.host.PostToDialog([&](WindowHandle) { paintsBefore = f.host.panelPaints; });
        RunWithClicks(f, dialog);

        EXPECT_EQ(dialog.DriveInfo().m_nDrive, c.driveAfter);
        if (c.formats) {
            EXPECT_EQ(OpenedPaths(f), std::vector<std::u16string>{u"\\\\.\\E:"});
            EXPECT_EQ(dialog.LastFormatReport().outcome, FormatOutcome::kSucceeded);
        } else {
            EXPECT_TRUE(f.volumeSystem.calls.empty()) << "nothing is opened, nothing written";
            EXPECT_EQ(f.host.logText, kIntroduction);
            EXPECT_EQ(f.host.panelPaints, paintsBefore + 2) << "the rescan's repaint and the command's";
            EXPECT_EQ(dialog.LastFormatReport().outcome, FormatOutcome::kDriveChanged);
        }
    }
}

// --- a player whose volume could not be read ---

TEST(FormatCommandTest, AnUnreadablePlayerVolumeIsFormattedAtItsRootsLetter) {
    DialogFixture f;
    f.AttachPlayer('F', "VQ20");
    f.volumes.labelFails = true;  // the first paint turns the drive value to -1
    CTolvenFormatDlg dialog(f.host, f.services);
    int32_t driveBeforeClick = 0;
    f.host.PostToDialog([&](WindowHandle window) {
        f.host.Dispatch(window, Message{kWmPaint, 0, 0});
        driveBeforeClick = dialog.DriveInfo().m_nDrive;
        f.volumes.labelFails = false;  // the format makes it readable
    });
    RunWithClicks(f, dialog);

    EXPECT_EQ(driveBeforeClick, kDriveVolumeUnreadable);
    ASSERT_EQ(f.host.boxes.size(), 1u);
    EXPECT_EQ(f.host.boxes[0].caption, u"F: 드라이브 포맷");
    EXPECT_EQ(OpenedPaths(f), std::vector<std::u16string>{u"\\\\.\\F:"});
    ASSERT_EQ(f.labels.calls.size(), 1u);
    EXPECT_EQ(f.labels.calls[0].rootPath, "F:\\");
    ASSERT_FALSE(f.files.directories.empty());
    EXPECT_EQ(f.files.directories[0], "F:\\SYSTEM") << "the installer gets the letter the format used";
    EXPECT_EQ(f.files.files.size(), 6u) << "the VQ20 files";
    EXPECT_EQ(dialog.DriveInfo().m_nDrive, 'F') << "the record names the new volume again";
    const auto texts = f.host.panel.Texts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts[texts.size() - 2].text, u"TOLVEN VQ20")
        << "the repaint shows the volume, not 'not formatted'";
}

}  // namespace
}  // namespace tolven
