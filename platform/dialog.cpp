#include "platform/dialog.h"

#include "platform/backend.h"
#include "platform/resources.h"
#include "platform/win_app.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT templateId, CWnd* parent) : m_templateId(templateId), m_pParentWnd(parent) {}

int CDialog::DoModal() {
    const DialogTemplate* tmpl = Resources::dialog(int(m_templateId));
    if (!tmpl) {
        return -1;
    }
    // Without a parent, the application's main window owns the dialog.
    CWnd* owner = m_pParentWnd;
    if (!owner) {
        CWinApp* app = AfxGetApp();
        owner = app ? app->m_pMainWnd : nullptr;
    }
    if (owner == this || (owner && !::IsWindow(owner->m_hWnd))) {
        owner = nullptr;
    }
    HWND ownerWnd = owner ? owner->m_hWnd : nullptr;

    HWND wnd = backend().windows().createDialog(*tmpl, ownerWnd);
    if (!wnd) {
        return -1;
    }
    Attach(wnd);
    m_ended = false;
    m_result = -1;

    RECT before;
    GetWindowRect(&before);
    OnInitDialog();
    RECT after;
    GetWindowRect(&after);
    // A dialog whose initialisation did not move its top-left corner is centred over its owner.
    if (::IsWindow(m_hWnd) && after.left == before.left && after.top == before.top) {
        CenterWindow(owner);
    }

    const bool disableOwner = ownerWnd && backend().windows().isEnabled(ownerWnd);
    if (disableOwner) {
        backend().windows().enableWindow(ownerWnd, false);
    }
    int result = m_result;
    if (!m_ended && ::IsWindow(m_hWnd)) {
        ShowWindow(SW_SHOW);
        result = backend().loop().runModal(m_hWnd);
    }
    if (disableOwner && ::IsWindow(ownerWnd)) {
        backend().windows().enableWindow(ownerWnd, true);
    }
    if (::IsWindow(m_hWnd)) {
        DestroyWindow();
    }
    return result;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) {
        return;
    }
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::EndDialog(int result) {
    m_result = result;
    m_ended = true;
    if (::IsWindow(m_hWnd)) {
        backend().loop().endModal(m_hWnd, result);
    }
}
