#include "app/tolven_format_dlg.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/dialog_texts.h"
#include "app/resource_ids.h"
#include "app/tolven_format_app.h"
#include "app/unattended_format.h"
#include "tests/app/dialog_test_host.h"

namespace tolven {
namespace {

using testing::DialogFixture;
using Window = MemoryWindowHost::Window;

// What the main dialog's windows looked like at a moment of its run.
struct Snapshot {
    Window dialog;
    Window formatButton;
    Window progress;
    std::vector<MemoryWindowHost::MenuItem> systemMenu;
};

Snapshot TakeSnapshot(MemoryWindowHost& host, WindowHandle dialog) {
    Snapshot snapshot;
    snapshot.dialog = *host.FindWindow(dialog);
    snapshot.formatButton = *host.FindWindow(host.GetDlgItem(dialog, kIdcFormat));
    snapshot.progress = *host.FindWindow(host.GetDlgItem(dialog, kIdcProgress));
    if (const auto* menu = host.FindMenu(snapshot.dialog.systemMenu)) {
        snapshot.systemMenu = *menu;
    }
    return snapshot;
}

// Runs the dialog with the posted actions; a snapshot is taken when they are done.
Snapshot RunDialog(DialogFixture& f, CTolvenFormatDlg& dialog) {
    Snapshot snapshot;
    f.host.PostToDialog([&](WindowHandle window) { snapshot = TakeSnapshot(f.host, window); });
    dialog.DoModal();
    return snapshot;
}

// Scans are counted by the first letter's drive-type query.
int ScanCount(const DialogFixture& f) {
    int scans = 0;
    for (const std::string& call : f.storage.calls) {
        if (call == "type A:\\") {
            ++scans;
        }
    }
    return scans;
}

// --- start-up ---

TEST(MainDialogStartTest, PositionsTheWindowCentredWithAQuarterOfTheFreeHeightAbove) {
    // The template's 262 x 97 dialog units are 393 x 157 pixels on the in-memory host.
    struct Case {
        const char* name;
        int32_t screenWidth;
        int32_t screenHeight;
        int32_t x;
        int32_t y;
    };
    const Case cases[] = {
        {"common screen", 1024, 768, 315, 152},
        {"odd free space truncates", 800, 600, 203, 110},
        {"screen smaller than the window truncates toward zero", 300, 100, -46, -14},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DialogFixture f;
        f.host.screenWidth = c.screenWidth;
        f.host.screenHeight = c.screenHeight;
        CTolvenFormatDlg dialog(f.host, f.services);
        const Snapshot s = RunDialog(f, dialog);
        EXPECT_EQ(s.dialog.rect.left, c.x);
        EXPECT_EQ(s.dialog.rect.top, c.y);
        EXPECT_EQ(s.dialog.rect.right - s.dialog.rect.left, 393) << "the size is kept";
        EXPECT_EQ(s.dialog.rect.bottom - s.dialog.rect.top, 157);
    }
}

TEST(MainDialogStartTest, AppendsTheAboutItemAfterASeparatorAndSetsBothIcons) {
    DialogFixture f;
    CTolvenFormatDlg dialog(f.host, f.services);
    const Snapshot s = RunDialog(f, dialog);

    ASSERT_GE(s.systemMenu.size(), 2u);
    const auto& separator = s.systemMenu[s.systemMenu.size() - 2];
    const auto& about = s.systemMenu.back();
    EXPECT_EQ(separator.flags, kMfSeparator);
    EXPECT_EQ(about.flags, kMfString);
    EXPECT_EQ(about.id, kIdmAboutBox);
    EXPECT_EQ(about.text, u"TolvenFormat 정보(&A)...");

    const IconHandle icon = f.host.LoadIconW(kIdrMainFrame);
    ASSERT_NE(icon, 0u);
    EXPECT_EQ(s.dialog.bigIcon, icon);
    EXPECT_EQ(s.dialog.smallIcon, icon);
    EXPECT_FALSE(s.progress.visible) << "the progress bar stays hidden";
}

TEST(MainDialogStartTest, WorksOnWithoutASystemMenu) {
    DialogFixture f;
    f.host.systemMenuAvailable = false;
    f.AttachPlayer('E');
    CTolvenFormatDlg dialog(f.host, f.services);
    const Snapshot s = RunDialog(f, dialog);
    EXPECT_EQ(dialog.DriveInfo().m_nDrive, 'E');
    EXPECT_EQ(f.host.logText, std::u16string(kIntroductionText) + u"\r\n");
}

TEST(MainDialogStartTest, ScansOnceAndSetsTheFormatButtonThenWritesTheIntroduction) {
    struct Case {
        const char* name;
        bool attachPlayer;
        int32_t drive;
        bool buttonEnabled;
    };
    const Case cases[] = {
        {"no player: the button is disabled", false, kDriveNoPlayer, false},
        {"a player at F: the button is enabled", true, 'F', true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DialogFixture f;
        if (c.attachPlayer) {
            f.AttachPlayer('F');
        }
        CTolvenFormatDlg dialog(f.host, f.services);
        const Snapshot s = RunDialog(f, dialog);
        EXPECT_EQ(ScanCount(f), 1);
        EXPECT_EQ(dialog.DriveInfo().m_nDrive, c.drive);
        EXPECT_EQ(s.formatButton.enabled, c.buttonEnabled);
        EXPECT_EQ(f.host.LogLines(),
                  (std::vector<std::u16string>{u"톨벤 제품 전용 포맷 유틸리티입니다.",
                                               u"톨벤 제품을 USB로 연결하시면 Format버튼이 "
                                               u"활성화 됩니다."}));
        EXPECT_EQ(f.host.logText.substr(f.host.logText.size() - 2), u"\r\n");
    }
}

TEST(MainDialogStartTest, TheApplicationRunsTheDialogAndEndsAfterIt) {
    DialogFixture f;
    f.AttachPlayer('G');
    CTolvenFormatApp app;
    app.SetPlatformServices(f.services);
    int32_t templateSeen = 0;
    f.host.PostToDialog([&](WindowHandle window) {
        templateSeen = static_cast<int32_t>(f.host.FindWindow(window)->templateId);
        f.host.PostClick(window, kIdOk);  // the Exit button
    });
    EXPECT_EQ(app.RunApplication(f.host), 0);
    EXPECT_EQ(templateSeen, static_cast<int32_t>(kIddTolvenFormatDialog));
    EXPECT_EQ(f.host.commonControlClasses & kIccWin95Classes, kIccWin95Classes);
    EXPECT_EQ(app.RegistryKey(), kRegistryKey);
    EXPECT_EQ(app.LastFormatReport().outcome, FormatOutcome::kNotRun);
    EXPECT_EQ(f.host.ActiveDialog(), 0u) << "no dialog is left open";
}

// The in-memory hosts' one call: the dialog is shown, Format pressed only when enabled, and closed.
TEST(MainDialogStartTest, AnUnattendedRunPressesFormatOnlyForAPlayer) {
    for (const bool player : {false, true}) {
        SCOPED_TRACE(player ? "a player" : "no player");
        DialogFixture f;
        if (player) {
            f.AttachPlayer('G');
        }
        CTolvenFormatApp app;
        const FormatReport report = RunUnattendedFormat(app, f.host, f.services);
        EXPECT_EQ(report.outcome, player ? FormatOutcome::kSucceeded : FormatOutcome::kNotRun);
        EXPECT_EQ(f.host.boxes.size(), player ? 1u : 0u) << "the confirmation, and only with a player";
        EXPECT_GE(f.host.panelPaints, 1) << "the dialog was shown";
        EXPECT_EQ(f.host.ActiveDialog(), 0u);
    }
}

// --- device changes ---

TEST(MainDialogDeviceChangeTest, RescansOnlyOnArrivalAndRemovalAndAlwaysReturnsTheDefault) {
    struct Case {
        const char* name;
        uint32_t event;
        bool rescans;
    };
    const Case cases[] = {
        {"arrival", kDbtDeviceArrival, true},
        {"remove complete", kDbtDeviceRemoveComplete, true},
        {"query remove", kDbtDeviceQueryRemove, false},
        {"remove pending", kDbtDeviceRemovePending, false},
        {"device nodes changed", kDbtDevNodesChanged, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DialogFixture f;
        f.host.deviceChangeDefaultResult = 0x5A;
        CTolvenFormatDlg dialog(f.host, f.services);
        int paintsBefore = 0;
        intptr_t result = 0;
        f.host.PostToDialog([&](WindowHandle window) {
            paintsBefore = f.host.panelPaints;
            f.AttachPlayer('H');  // the player arrives; only a rescan notices it
            result = f.host.Dispatch(window, Message{kWmDeviceChange, c.event, 0});
        });
        const Snapshot s = RunDialog(f, dialog);

        EXPECT_EQ(result, 0x5A) << "the default processing's result is returned";
        EXPECT_EQ(ScanCount(f), c.rescans ? 2 : 1);
        EXPECT_EQ(f.host.panelPaints - paintsBefore, c.rescans ? 1 : 0) << "a rescan repaints the panel";
        EXPECT_EQ(dialog.DriveInfo().m_nDrive, c.rescans ? 'H' : kDriveNoPlayer);
        EXPECT_EQ(s.formatButton.enabled, c.rescans);
        ASSERT_FALSE(f.host.defaultProcessed.empty());
        EXPECT_EQ(f.host.defaultProcessed.back().message, kWmDeviceChange);
    }
}

TEST(MainDialogDeviceChangeTest, RemovalDisablesTheButtonAgain) {
    DialogFixture f;
    f.AttachPlayer('E');
    CTolvenFormatDlg dialog(f.host, f.services);
    f.host.PostToDialog([&](WindowHandle) { f.DetachDrive('E'); });
    f.host.PostDeviceChange(kDbtDeviceRemoveComplete);
    const Snapshot s = RunDialog(f, dialog);
    EXPECT_EQ(dialog.DriveInfo().m_nDrive, kDriveNoPlayer);
    EXPECT_FALSE(s.formatButton.enabled);
}

// --- system menu, painting, dragging ---

TEST(MainDialogSystemMenuTest, TheAboutItemOpensTheAboutBoxWhichClosesWithOk) {
    struct Case {
        const char* name;
        uint32_t command;
        bool opensAbout;
    };
    const Case cases[] = {
        {"the About item", kIdmAboutBox, true},
        {"the About item with the system's low bits", kIdmAboutBox | 0x3, true},
        {"move: default processing", kScMove, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DialogFixture f;
        CTolvenFormatDlg dialog(f.host, f.services);
        uint32_t nestedTemplate = 0;
        std::u16string nestedTitle;
        WindowHandle nestedOwner = 0;
        WindowHandle mainWindow = 0;
        WindowHandle activeAfterwards = 0;
        f.host.PostToDialog([&](WindowHandle window) {
            mainWindow = window;
            // Queued now, run by the loop of whatever the command opens.
            f.host.PostToDialog([&](WindowHandle active) {
                const Window* box = f.host.FindWindow(active);
                nestedTemplate = box->templateId;
                nestedTitle = box->text;
                nestedOwner = box->parent;
                if (active != mainWindow) {
                    f.host.PostClick(active, kIdOk);
                }
                f.host.PostToDialog([&](WindowHandle after) { activeAfterwards = after; });
            });
            f.host.Dispatch(window, Message{kWmSysCommand, c.command, 0});
        });
        dialog.DoModal();
        EXPECT_EQ(activeAfterwards, mainWindow) << "the main dialog runs on";
        if (c.opensAbout) {
            EXPECT_EQ(nestedTemplate, kIddAboutBox);
            EXPECT_EQ(nestedTitle, u"TolvenFormat 정보");
            EXPECT_EQ(nestedOwner, mainWindow);
        } else {
            EXPECT_EQ(nestedTemplate, kIddTolvenFormatDialog) << "no About box was opened";
            const bool defaulted = std::any_of(f.host.defaultProcessed.begin(), f.host.defaultProcessed.end(),
                                               [](const Message& m) { return m.message == kWmSysCommand; });
            EXPECT_TRUE(defaulted) << "the command got the default processing";
        }
    }
}

TEST(MainDialogPaintTest, MinimisedDrawsTheIconCentredAndNotThePanel) {
    DialogFixture f;
    f.AttachPlayer('E');
    f.host.iconWidth = 32;
    f.host.iconHeight = 32;
    CTolvenFormatDlg dialog(f.host, f.services);
    int paintsBefore = 0;
    intptr_t dragIcon = 0;
    f.host.PostToDialog([&](WindowHandle window) {
        f.host.FindWindow(window)->iconic = true;
        paintsBefore = f.host.panelPaints;
        f.host.Dispatch(window, Message{kWmPaint, 0, 0});
        dragIcon = f.host.Dispatch(window, Message{kWmQueryDragIcon, 0, 0});
    });
    const Snapshot s = RunDialog(f, dialog);

    EXPECT_EQ(f.host.panelPaints, paintsBefore);
    ASSERT_EQ(f.host.drawnIcons.size(), 1u);
    const int32_t clientWidth = s.dialog.rect.right - s.dialog.rect.left;   // 393
    const int32_t clientHeight = s.dialog.rect.bottom - s.dialog.rect.top;  // 157
    EXPECT_EQ(f.host.drawnIcons[0].x, (clientWidth - 32 + 1) / 2);
    EXPECT_EQ(f.host.drawnIcons[0].y, (clientHeight - 32 + 1) / 2);
    EXPECT_EQ(f.host.drawnIcons[0].icon, f.host.LoadIconW(kIdrMainFrame));
    EXPECT_EQ(static_cast<IconHandle>(dragIcon), f.host.LoadIconW(kIdrMainFrame));
    EXPECT_EQ(s.dialog.validations, 1) << "the paint validated the window";
}

TEST(MainDialogPaintTest, NotMinimisedDrawsThePanelAndValidatesTheWindow) {
    DialogFixture f;
    f.AttachPlayer('E');
    CTolvenFormatDlg dialog(f.host, f.services);
    f.host.PostToDialog([&](WindowHandle window) { f.host.Dispatch(window, Message{kWmPaint, 0, 0}); });
    const Snapshot s = RunDialog(f, dialog);
    EXPECT_EQ(f.host.panelPaints, 1);
    EXPECT_EQ(s.dialog.validations, 1);
    EXPECT_TRUE(f.host.drawnIcons.empty());
    const auto texts = f.host.panel.Texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].text, u" E: OLD");
    EXPECT_EQ(texts[1].text, u"TOLVEN VQ10");
}

}  // namespace
}  // namespace tolven
