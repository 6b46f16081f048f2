#include "app/about_dlg.h"

#include "app/resource_ids.h"

namespace tolven {

CAboutDlg::CAboutDlg(IDialogHost& host, CWnd* parent) : CDialog(kIddAboutBox, host, parent) {}

void CAboutDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
}

}  // namespace tolven
