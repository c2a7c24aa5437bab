#include "platform/combo_box.h"

#include "platform/backend.h"

int CComboBox::AddString(const char* text) {
    if (!::IsWindow(m_hWnd)) {
        return CB_ERR;
    }
    return backend().lists().comboAddString(m_hWnd, text ? text : "");
}

int CComboBox::GetCount() const {
    return ::IsWindow(m_hWnd) ? backend().lists().comboCount(m_hWnd) : 0;
}

int CComboBox::GetCurSel() const {
    return ::IsWindow(m_hWnd) ? backend().lists().comboSelection(m_hWnd) : CB_ERR;
}

int CComboBox::SetCurSel(int index) {
    return ::IsWindow(m_hWnd) ? backend().lists().comboSelect(m_hWnd, index) : CB_ERR;
}

void CComboBox::ResetContent() {
    if (::IsWindow(m_hWnd)) {
        backend().lists().comboResetContent(m_hWnd);
    }
}
