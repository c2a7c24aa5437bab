#pragma once

#include "platform/wnd.h"

class CImageList;

/// A report-style list view.
class CListCtrl : public CWnd {
public:
    int InsertColumn(int column, const char* heading, int format = LVCFMT_LEFT, int width = -1);
    /// Inserts a row before item with text and image index; returns its index, or -1.
    int InsertItem(int item, const char* text, int image);
    BOOL SetItemText(int item, int subItem, const char* text);
    BOOL DeleteAllItems();
    int GetItemCount() const;
    CString GetItemText(int item, int subItem) const;
    int GetItemImage(int item) const;
    /// Gives the list images (not owned; the caller keeps them alive) for the given use.
    void SetImageList(CImageList* images, int which);
};
