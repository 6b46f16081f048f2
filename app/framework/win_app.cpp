#include "app/framework/win_app.h"

namespace tolven {

int CWinApp::RunApplication(IDialogHost& host) {
    m_host = &host;
    InitInstance();
    const int exitCode = ExitInstance();
    m_pMainWnd = nullptr;
    return exitCode;
}

bool CWinApp::InitInstance() {
    return true;
}

int CWinApp::ExitInstance() {
    return 0;
}

}  // namespace tolven
