#include "app/tolven_format_dlg.h"

#include "app/about_dlg.h"
#include "app/dialog_texts.h"
#include "app/resource_ids.h"
#include "device/drive_info_panel.h"
#include "ui/status_log.h"

namespace tolven {

CTolvenFormatDlg::CTolvenFormatDlg(IDialogHost& host, const PlatformServices& services, CWnd* parent)
    : CDialog(kIddTolvenFormatDialog, host, parent),
      m_hIcon(host.LoadIconW(kIdrMainFrame)),
      m_services(services) {}

CTolvenFormatDlg::~CTolvenFormatDlg() = default;

void CTolvenFormatDlg::AppendLog(const char16_t* text) {
    tolven::AppendLog(m_logEdit, text);
}

const MessageMap* CTolvenFormatDlg::GetMessageMap() const {
    static const MessageMapEntry kEntries[] = {
        MapWmSysCommand<&CTolvenFormatDlg::OnSysCommand>(),
        MapWmPaint<&CTolvenFormatDlg::OnPaint>(),
        MapWmQueryDragIcon<&CTolvenFormatDlg::OnQueryDragIcon>(),
        MapWmDeviceChange<&CTolvenFormatDlg::OnDeviceChange>(),
        MapBnClicked<&CTolvenFormatDlg::OnBnClickedFormat>(kIdcFormat),
    };
    static const MessageMap kMap{CDialog::GetMessageMap(), kEntries};
    return &kMap;
}

void CTolvenFormatDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, kIdcPanelFrame, m_panelFrame);
    DDX_Control(pDX, kIdcLogEdit, m_logEdit);
    DDX_Control(pDX, kIdcProgress, m_progress);
    DDX_Control(pDX, kIdcFormat, m_formatButton);
}

bool CTolvenFormatDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    if (std::optional<CMenu> systemMenu = GetSystemMenu()) {
        const std::u16string aboutText = Host().LoadStringW(kIdsAboutBox);
        if (!aboutText.empty()) {
            systemMenu->AppendMenuW(kMfSeparator);
            systemMenu->AppendMenuW(kMfString, kIdmAboutBox, aboutText);
        }
    }

    SetIcon(m_hIcon, true);
    SetIcon(m_hIcon, false);

    // Centred horizontally, a quarter of the free height above: the template sits at 0,0, so the
    // right and bottom edges are the window's size.
    Rect window;
    GetWindowRect(window);
    const int32_t x = (GetSystemMetrics(kSmCxScreen) - window.right) / 2;
    const int32_t y = (GetSystemMetrics(kSmCyScreen) - window.bottom) / 4;
    SetWindowPos(kHwndTop, x, y, 0, 0, kSwpNoSize);

    m_drive.m_nDrive = m_drive.ScanForPlayer(m_services.storage, m_formatButton);

    AppendLog(kIntroductionText);
    return true;
}

void CTolvenFormatDlg::OnSysCommand(uint32_t commandId, intptr_t param) {
    if ((commandId & kScCommandMask) == kIdmAboutBox) {
        CAboutDlg about(Host(), this);
        about.DoModal();
        return;
    }
    CWnd::OnSysCommand(commandId, param);
}

void CTolvenFormatDlg::OnPaint() {
    if (IsIconic()) {
        DrawIconWhileMinimized();
        return;
    }
    DrawDriveInfoPanel(m_drive, m_services.volumes,
                       [this] { return m_panelFrame.GetPanelCanvas(m_logEdit); });
    CDialog::OnPaint();
}

void CTolvenFormatDlg::DrawIconWhileMinimized() {
    IDialogHost& host = Host();
    const PaintContext context = host.BeginPaint(GetSafeHwnd());
    SendMessageW(kWmIconEraseBkgnd, context, 0);

    const int32_t iconWidth = GetSystemMetrics(kSmCxIcon);
    const int32_t iconHeight = GetSystemMetrics(kSmCyIcon);
    Rect client;
    GetClientRect(client);
    const int32_t x = (client.right - client.left - iconWidth + 1) / 2;
    const int32_t y = (client.bottom - client.top - iconHeight + 1) / 2;
    host.DrawIcon(context, x, y, m_hIcon);
    host.EndPaint(GetSafeHwnd(), context);
}

IconHandle CTolvenFormatDlg::OnQueryDragIcon() {
    return m_hIcon;
}

intptr_t CTolvenFormatDlg::OnDeviceChange(uint32_t eventType, uintptr_t eventData) {
    if (eventType == kDbtDeviceArrival || eventType == kDbtDeviceRemoveComplete) {
        m_drive.m_nDrive = m_drive.ScanForPlayer(m_services.storage, m_formatButton);
        OnPaint();
    }
    return CWnd::OnDeviceChange(eventType, eventData);
}

}  // namespace tolven
