#include "platform/list_ctrl.h"

#include "platform/backend.h"
#include "platform/image_list.h"

int CListCtrl::InsertColumn(int column, const char* heading, int format, int width) {
    if (!::IsWindow(m_hWnd)) {
        return -1;
    }
    backend().listInsertColumn(m_hWnd, column, heading ? heading : "", format, width);
    return column;
}

int CListCtrl::InsertItem(int item, const char* text, int image) {
    if (!::IsWindow(m_hWnd)) {
        return -1;
    }
    return backend().listInsertItem(m_hWnd, item, text ? text : "", image);
}

BOOL CListCtrl::SetItemText(int item, int subItem, const char* text) {
    return ::IsWindow(m_hWnd) && backend().listSetItemText(m_hWnd, item, subItem, text ? text : "");
}

BOOL CListCtrl::DeleteAllItems() {
    if (!::IsWindow(m_hWnd)) {
        return FALSE;
    }
    backend().listDeleteAllItems(m_hWnd);
    return TRUE;
}

int CListCtrl::GetItemCount() const {
    return ::IsWindow(m_hWnd) ? backend().listItemCount(m_hWnd) : 0;
}

CString CListCtrl::GetItemText(int item, int subItem) const {
    return ::IsWindow(m_hWnd) ? backend().listItemText(m_hWnd, item, subItem) : CString();
}

int CListCtrl::GetItemImage(int item) const {
    return ::IsWindow(m_hWnd) ? backend().listItemImage(m_hWnd, item) : -1;
}

void CListCtrl::SetImageList(CImageList* images, int which) {
    if (::IsWindow(m_hWnd)) {
        backend().listSetImageList(m_hWnd, images ? images->GetSafeHandle() : nullptr, which);
    }
}
