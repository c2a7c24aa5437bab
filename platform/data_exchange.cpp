#include "platform/data_exchange.h"

#include "platform/backend.h"

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
    if (control.m_hWnd) {
        return;
    }
    if (HWND wnd = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, id)) {
        control.SubclassWindow(wnd);
    }
}

void DDX_Radio(CDataExchange* pDX, int id, int& value) {
    HWND first = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, id);
    if (!first) {
        return;
    }
    Controls& controls = backend().controls();
    if (pDX->m_bSaveAndValidate) {
        value = -1;
    }
    int index = 0;
    for (HWND wnd = first; wnd; wnd = controls.nextControl(wnd)) {
        if (wnd != first && (controls.controlStyle(wnd) & WS_GROUP)) {
            break;
        }
        if (controls.controlKind(wnd) != ControlKind::RadioButton) {
            continue;
        }
        if (pDX->m_bSaveAndValidate) {
            if (controls.isChecked(wnd) && value == -1) {
                value = index;
            }
        } else {
            controls.setChecked(wnd, index == value);
        }
        ++index;
    }
}
