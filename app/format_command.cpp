// The Format command: from the click on "Format" to the repaint of the panel, and the report of
// how it ended.
#include <string>

#include "app/dialog_texts.h"
#include "app/tolven_format_dlg.h"
#include "content/player_content_installer.h"
#include "fat32/format_request.h"
#include "fat32/format_volume.h"

namespace tolven {

namespace {

bool IsDriveLetterCode(int32_t value) {
    return value >= 'A' && value <= 'Z';
}

// The drive the record names: the letter of a found player, or, when its volume could not be
// read, the letter of its root path. 0 when it names none.
char RecordedDriveLetter(const CPlayerDriveInfo& drive) {
    if (IsDriveLetterCode(drive.m_nDrive)) {
        return static_cast<char>(drive.m_nDrive);
    }
    if (drive.m_nDrive == kDriveVolumeUnreadable && !drive.m_strRoot.empty()) {
        const char16_t first = drive.m_strRoot.front();
        if (first >= u'a' && first <= u'z') {
            return static_cast<char>(first - u'a' + 'A');
        }
        if (first >= u'A' && first <= u'Z') {
            return static_cast<char>(first);
        }
    }
    return 0;
}

}  // namespace

void CTolvenFormatDlg::OnBnClickedFormat() {
    // Each step that ends records itself here; the host reads the whole report afterwards.
    m_lastReport = FormatReport{};
    FormatReport& report = m_lastReport;
    IFormatObserver* const observer = m_services.observer;
    const auto failed = [&report, observer](FormatStep step) {
        if (observer != nullptr) {
            if (std::string reason = observer->FailureReason(step); !reason.empty()) {
                report.failures.push_back(std::move(reason));
            }
        }
    };

    FormatRequest request;
    request.logControl = &m_logEdit;
    request.progressControl = &m_progress;
    request.sectorsPerCluster = kFormatSectorsPerCluster;

    const char letter = RecordedDriveLetter(m_drive);
    if (letter == 0) {
        MessageBoxW(kNoPlayerBoxText, kNoPlayerBoxCaption, kMbOk | kMbIconInformation);
        report.outcome = FormatOutcome::kNoPlayer;
        return;
    }
    request.driveLetter = letter;

    std::u16string caption(1, static_cast<char16_t>(letter));
    caption += kConfirmCaptionSuffix;
    // The box runs its own message loop: a device change can rescan while it is open.
    const int32_t answer = MessageBoxW(kConfirmBoxText, caption, kMbYesNo | kMbIconExclamation);
    if (answer != kIdYes) {
        report.outcome = FormatOutcome::kDeclined;
        OnPaint();
        return;
    }
    if (RecordedDriveLetter(m_drive) != letter) {
        // The player moved or another disk took its letter while the box was open: the user
        // confirmed a drive that is no longer the player's.
        report.outcome = FormatOutcome::kDriveChanged;
        OnPaint();
        return;
    }

    if (observer != nullptr) {
        observer->OnStepStarted(FormatStep::kFormat);
    }
    if (!FormatVolumeFat32(request, m_services.format)) {
        report.outcome = FormatOutcome::kFormatFailed;
        report.openError = m_services.format.volumes.LastOpenError();
        failed(FormatStep::kFormat);
        report.interrupted = observer != nullptr && observer->StopRequested();
        OnPaint();
        return;
    }
    // The fresh volume is readable again at this letter (the record may have said -1).
    m_drive.m_nDrive = letter;

    if (observer != nullptr) {
        observer->OnStepStarted(FormatStep::kLabel);
    }
    const std::string rootPath{letter, ':', '\\'};
    if (!m_services.labels.SetVolumeLabelA(rootPath, kPlayerVolumeLabel)) {
        failed(FormatStep::kLabel);  // the log goes on as if it were set: only a host may say otherwise
    }
    AppendLog(kLabelLogLine);
    AppendLog(kCopyingLogLine);
    const bool copied =
        InstallPlayerContent(letter, m_drive.m_strModel, m_services.content, m_services.files);
    failed(FormatStep::kContent);
    report.interrupted = observer != nullptr && observer->StopRequested();
    AppendLog(copied ? kCopyDoneLogLine : kCopyFailedLogLine);
    report.outcome = copied ? FormatOutcome::kSucceeded : FormatOutcome::kCopyFailed;
    OnPaint();
}

}  // namespace tolven
