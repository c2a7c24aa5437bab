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
    Backend& b = backend();
    if (pDX->m_bSaveAndValidate) {
        value = -1;
    }
    int index = 0;
    for (HWND wnd = first; wnd; wnd = b.nextControl(wnd)) {
        if (wnd != first && (b.controlStyle(wnd) & WS_GROUP)) {
            break;
        }
        if (b.controlKind(wnd) != ControlKind::RadioButton) {
            continue;
        }
        if (pDX->m_bSaveAndValidate) {
            if (b.checkState(wnd) && value == -1) {
                value = index;
            }
        } else {
            b.setCheckState(wnd, index == value ? 1 : 0);
        }
        ++index;
    }
}
