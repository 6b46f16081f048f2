// The About box, opened from the main dialog's system menu.
#pragma once

#include "app/framework/dialog.h"

namespace tolven {

class CAboutDlg : public CDialog {
  public:
    explicit CAboutDlg(IDialogHost& host, CWnd* parent = nullptr);

  protected:
    void DoDataExchange(CDataExchange* pDX) override;  // binds nothing
};

}  // namespace tolven
