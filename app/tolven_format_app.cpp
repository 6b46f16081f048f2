#include "app/tolven_format_app.h"

#include "app/dialog_texts.h"
#include "app/framework/window_messages.h"

namespace tolven {

bool CTolvenFormatApp::InitInstance() {
    // The Win95 class set includes the progress bar.
    Host().InitCommonControlsEx(kIccWin95Classes);
    CWinApp::InitInstance();
    SetRegistryKey(kRegistryKey);

    if (m_services == nullptr) {
        return false;
    }
    CTolvenFormatDlg dialog(Host(), *m_services);
    m_pMainWnd = &dialog;
    dialog.DoModal();  // IDOK, IDCANCEL or a failure: all end the program
    m_lastReport = dialog.LastFormatReport();
    m_pMainWnd = nullptr;
    return false;
}

}  // namespace tolven
