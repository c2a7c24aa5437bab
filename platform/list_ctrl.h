#pragma once

#include "platform/list_controls.h"
#include "platform/wnd.h"

class CImageList;

/// A report-style list view.
class CListCtrl : public CWnd {
public:
    int InsertColumn(int column, const char* heading, int format = LVCFMT_LEFT, int width = -1);
    /// Sets a column's width in pixels; FALSE without a list or for a negative width.
    BOOL SetColumnWidth(int column, int cx);
    /// Inserts a row before item with text and image index; returns its index, or -1.
    int InsertItem(int item, const char* text, int image);
    BOOL SetItemText(int item, int subItem, const char* text);
    BOOL DeleteAllItems();
    int GetItemCount() const;
    CString GetItemText(int item, int subItem) const;
    int GetItemImage(int item) const;
    /// Sets the state bits of row item that mask names, or of every row for item -1. Only
    /// LVIS_SELECTED is kept: a row is selected or not. FALSE for a row that does not exist.
    BOOL SetItemState(int item, UINT state, UINT mask);
    /// Scrolls the list so that row item shows; a partly shown row is brought fully into view
    /// whatever partialOK says. FALSE for a row that does not exist.
    BOOL EnsureVisible(int item, BOOL partialOK);
    /// The first selected row, or -1 when none is.
    int GetFirstSelectedItem() const;
    /// Sets the words a tooltip over the row and a screen reader give after its status.
    BOOL SetItemDescription(int item, const char* text);
    /// Marks column's header as sorting the rows in direction (None: no header marked).
    void SetSortIndicator(int column, SortDirection direction);
    /// Shows the count columns left to right in the order of their indexes in order.
    BOOL SetColumnOrderArray(int count, const int* order);
    /// The column width that shows text whole (see ListControls::listTextWidth).
    int GetStringWidth(const char* text) const;
    /// The width the columns have without scrolling sideways.
    int GetColumnSpace() const;
    /// Gives the list images (not owned; the caller keeps them alive) for the given use.
    void SetImageList(CImageList* images, int which);
};
