#include "app/framework/dialog.h"

#include <algorithm>

namespace tolven {

void DDX_Control(CDataExchange* pDX, int32_t controlId, CWnd& control) {
    CDialog& dialog = *pDX->m_pDlgWnd;
    if (control.GetSafeHwnd() != 0) {
        return;
    }
    IDialogHost& host = dialog.Host();
    const WindowHandle item = host.GetDlgItem(dialog.GetSafeHwnd(), controlId);
    if (item == 0) {
        return;
    }
    control.Attach(host, item);
    dialog.AddBoundControl(control);
}

CDialog::CDialog(uint32_t templateId, IDialogHost& host, CWnd* parent)
    : m_templateId(templateId), m_dialogHost(&host), m_pParentWnd(parent) {}

CDialog::~CDialog() {
    DetachControls();
}

intptr_t CDialog::DoModal() {
    const WindowHandle owner = m_pParentWnd != nullptr ? m_pParentWnd->GetSafeHwnd() : 0;
    const intptr_t result = m_dialogHost->DoModal(*this, m_templateId, owner);
    // The window is gone: so are the control windows bound to members.
    DetachControls();
    Detach();
    return result;
}

bool CDialog::UpdateData(bool saveAndValidate) {
    if (GetSafeHwnd() == 0) {
        return false;
    }
    CDataExchange exchange(*this, saveAndValidate);
    DoDataExchange(&exchange);
    return true;
}

void CDialog::EndDialog(intptr_t result) {
    if (GetSafeHwnd() != 0) {
        m_dialogHost->EndDialog(GetSafeHwnd(), result);
    }
}

bool CDialog::OnWndMsg(const Message& message, intptr_t& result) {
    if (CWnd::OnWndMsg(message, result)) {
        return true;
    }
    if (message.message == kWmInitDialog) {
        result = OnInitDialog() ? 1 : 0;
        return true;
    }
    if (message.message == kWmCommand && HighWord(message.wParam) == kBnClicked) {
        const auto id = static_cast<int32_t>(LowWord(message.wParam));
        if (id == kIdOk) {
            OnOK();
            result = 0;
            return true;
        }
        if (id == kIdCancel) {
            OnCancel();
            result = 0;
            return true;
        }
    }
    return false;
}

void CDialog::AddBoundControl(CWnd& control) {
    if (std::find(m_boundControls.begin(), m_boundControls.end(), &control) == m_boundControls.end()) {
        m_boundControls.push_back(&control);
    }
}

bool CDialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK() {
    EndDialog(kIdOk);
}

void CDialog::OnCancel() {
    EndDialog(kIdCancel);
}

const MessageMap* CDialog::GetMessageMap() const {
    static const MessageMap kMap{};
    return &kMap;
}

void CDialog::DetachControls() {
    for (CWnd* control : m_boundControls) {
        control->Detach();
    }
    m_boundControls.clear();
}

}  // namespace tolven
