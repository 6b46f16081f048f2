// The main dialog: the player drive record, the four controls the program works with, the icon,
// and the handlers that drive everything else (painting, device changes, the About item, the
// Format command).
#pragma once

#include <cstdint>

#include "app/format_report.h"
#include "app/framework/controls.h"
#include "app/framework/dialog.h"
#include "app/platform_services.h"
#include "device/player_drive_info.h"

namespace tolven {

class CTolvenFormatDlg : public CDialog {
  public:
    CTolvenFormatDlg(IDialogHost& host, const PlatformServices& services, CWnd* parent = nullptr);
    ~CTolvenFormatDlg() override;

    // Appends one line to the status log.
    void AppendLog(const char16_t* text);

    // How the last Format command ended (outcome kNotRun when it was never pressed).
    const FormatReport& LastFormatReport() const { return m_lastReport; }
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
    FormatReport m_lastReport;
};

}  // namespace tolven
