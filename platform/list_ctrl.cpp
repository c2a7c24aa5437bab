#include "platform/list_ctrl.h"

#include "platform/backend.h"
#include "platform/image_list.h"

namespace {

ColumnAlignment alignmentFor(int format) {
    switch (format & LVCFMT_JUSTIFYMASK) {
    case LVCFMT_RIGHT:
        return ColumnAlignment::Right;
    case LVCFMT_CENTER:
        return ColumnAlignment::Center;
    default:
        return ColumnAlignment::Left;
    }
}

} // namespace

int CListCtrl::InsertColumn(int column, const char* heading, int format, int width) {
    if (!::IsWindow(m_hWnd)) {
        return -1;
    }
    backend().lists().listInsertColumn(m_hWnd, column, heading ? heading : "", alignmentFor(format),
                                       width);
    return column;
}

BOOL CListCtrl::SetColumnWidth(int column, int cx) {
    if (!::IsWindow(m_hWnd) || cx < 0) {
        return FALSE;
    }
    backend().lists().listSetColumnWidth(m_hWnd, column, cx);
    return TRUE;
}

int CListCtrl::InsertItem(int item, const char* text, int image) {
    if (!::IsWindow(m_hWnd)) {
        return -1;
    }
    return backend().lists().listInsertItem(m_hWnd, item, text ? text : "", image);
}

BOOL CListCtrl::SetItemText(int item, int subItem, const char* text) {
    return ::IsWindow(m_hWnd) &&
           backend().lists().listSetItemText(m_hWnd, item, subItem, text ? text : "");
}

BOOL CListCtrl::DeleteAllItems() {
    if (!::IsWindow(m_hWnd)) {
        return FALSE;
    }
    backend().lists().listDeleteAllItems(m_hWnd);
    return TRUE;
}

int CListCtrl::GetItemCount() const {
    return ::IsWindow(m_hWnd) ? backend().lists().listItemCount(m_hWnd) : 0;
}

CString CListCtrl::GetItemText(int item, int subItem) const {
    return ::IsWindow(m_hWnd) ? backend().lists().listItemText(m_hWnd, item, subItem) : CString();
}

int CListCtrl::GetItemImage(int item) const {
    return ::IsWindow(m_hWnd) ? backend().lists().listItemImage(m_hWnd, item) : -1;
}

BOOL CListCtrl::SetItemState(int item, UINT state, UINT mask) {
    if (!::IsWindow(m_hWnd) || item < -1 || item >= GetItemCount()) {
        return FALSE;
    }
    if ((mask & LVIS_SELECTED) != 0) {
        backend().lists().listSetSelected(m_hWnd, item, (state & LVIS_SELECTED) != 0);
    }
    return TRUE;
}

BOOL CListCtrl::EnsureVisible(int item, BOOL) {
    if (!::IsWindow(m_hWnd) || item < 0 || item >= GetItemCount()) {
        return FALSE;
    }
    backend().lists().listEnsureVisible(m_hWnd, item);
    return TRUE;
}

void CListCtrl::SetImageList(CImageList* images, int which) {
    if (::IsWindow(m_hWnd)) {
        const ImageListKind kind =
            which == LVSIL_SMALL ? ImageListKind::Small : ImageListKind::Normal;
        backend().lists().listSetImageList(m_hWnd, images ? images->GetSafeHandle() : nullptr,
                                           kind);
    }
}

int CListCtrl::GetFirstSelectedItem() const {
    return ::IsWindow(m_hWnd) ? backend().lists().listFirstSelected(m_hWnd) : -1;
}

BOOL CListCtrl::SetItemDescription(int item, const char* text) {
    if (!::IsWindow(m_hWnd) || item < 0 || item >= GetItemCount()) {
        return FALSE;
    }
    backend().lists().listSetItemDescription(m_hWnd, item, text ? text : "");
    return TRUE;
}

void CListCtrl::SetSortIndicator(int column, SortDirection direction) {
    if (::IsWindow(m_hWnd)) {
        backend().lists().listSetSortIndicator(m_hWnd, column, direction);
    }
}

BOOL CListCtrl::SetColumnOrderArray(int count, const int* order) {
    if (!::IsWindow(m_hWnd) || count < 0 || (count > 0 && order == nullptr)) {
        return FALSE;
    }
    backend().lists().listSetColumnOrder(m_hWnd, std::vector<int>(order, order + count));
    return TRUE;
}

int CListCtrl::GetStringWidth(const char* text) const {
    return ::IsWindow(m_hWnd) ? backend().lists().listTextWidth(m_hWnd, text ? text : "") : 0;
}

int CListCtrl::GetColumnSpace() const {
    return ::IsWindow(m_hWnd) ? backend().lists().listColumnSpace(m_hWnd) : 0;
}
