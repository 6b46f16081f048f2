// The main dialog: the player drive record, the four controls the program works with, the icon,
// and the handlers that drive everything else (painting, device changes, the About item, the
// Format command).
#pragma once

#include <cstdint>

#include "app/framework/controls.h"
#include "app/framework/dialog.h"
#include "app/platform_services.h"
#include "device/player_drive_info.h"

namespace tolven {

// How the last Format command ended, for hosts that report it (the terminal's exit status).
enum class FormatOutcome {
    kNotRun,        // the command never ran
    kNoPlayer,      // no player: only the information box
    kDeclined,      // the confirmation was answered No
    kDriveChanged,  // the player moved while the confirmation was open: nothing formatted
    kFormatFailed,  // the formatter reported a failure
    kCopyFailed,    // formatted and labelled, but the system files were not all written
    kSucceeded,     // formatted, labelled and the system files written
};

class CTolvenFormatDlg : public CDialog {
  public:
    CTolvenFormatDlg(IDialogHost& host, const PlatformServices& services, CWnd* parent = nullptr);
    ~CTolvenFormatDlg() override;

    // Appends one line to the status log.
    void AppendLog(const char16_t* text);

    FormatOutcome LastFormatOutcome() const { return m_lastOutcome; }
    const CPlayerDriveInfo& DriveInfo() const { return m_drive; }

  protected:
    const MessageMap* GetMessageMap() const override;
    void DoDataExchange(CDataExchange* pDX) override;
    bool OnInitDialog() override;

    void OnSysCommand(uint32_t commandId, intptr_t param);
    void OnPaint();
    IconHandle OnQueryDragIcon();
    intptr_t OnDeviceChange(uint32_t eventType, uintptr_t eventData);
    void OnBnClickedFormat();

  private:
    void DrawIconWhileMinimized();

    IconHandle m_hIcon;
    CStatic m_panelFrame;
    CEdit m_logEdit;
    CPlayerDriveInfo m_drive;
    CProgressCtrl m_progress;
    CButton m_formatButton;

    const PlatformServices& m_services;
    FormatOutcome m_lastOutcome = FormatOutcome::kNotRun;
};

}  // namespace tolven
