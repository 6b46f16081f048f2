// CDialog: a modal dialog built on a template of the host, with data exchange (the binding of
// child controls to members) and the base behaviour of IDOK and IDCANCEL.
#pragma once

#include <cstdint>
#include <vector>

#include "app/framework/wnd.h"

namespace tolven {

class CDialog;

// The direction and target of one data exchange. Only control binding is used.
class CDataExchange {
  public:
    CDataExchange(CDialog& dialog, bool saveAndValidate)
        : m_pDlgWnd(&dialog), m_bSaveAndValidate(saveAndValidate) {}
    CDialog* m_pDlgWnd;
    bool m_bSaveAndValidate;
};

// Binds control to the dialog's child window controlId (once; later exchanges keep the binding).
void DDX_Control(CDataExchange* pDX, int32_t controlId, CWnd& control);

class CDialog : public CWnd {
  public:
    CDialog(uint32_t templateId, IDialogHost& host, CWnd* parent = nullptr);
    ~CDialog() override;

    // Runs the dialog modally; the EndDialog result, or -1 when the window cannot be created.
    virtual intptr_t DoModal();
    // Runs DoDataExchange; false when it could not run (no window).
    bool UpdateData(bool saveAndValidate = true);
    void EndDialog(intptr_t result);

    IDialogHost& Host() const { return *m_dialogHost; }

    // The dialog's own messages: its map first, then WM_INITDIALOG (OnInitDialog) and the
    // BN_CLICKED commands of IDOK (OnOK) and IDCANCEL (OnCancel).
    bool OnWndMsg(const Message& message, intptr_t& result) override;

    // Called by DDX_Control: remembers the control, to detach it when the window goes.
    void AddBoundControl(CWnd& control);

  protected:
    // Base initialisation: the data exchange that binds the controls. True: the host puts the
    // focus on the first tab stop.
    virtual bool OnInitDialog();
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual void OnOK();      // ends the dialog with IDOK
    virtual void OnCancel();  // ends the dialog with IDCANCEL

    const MessageMap* GetMessageMap() const override;

  private:
    void DetachControls();

    uint32_t m_templateId;
    IDialogHost* m_dialogHost;
    CWnd* m_pParentWnd;
    std::vector<CWnd*> m_boundControls;
};

}  // namespace tolven
