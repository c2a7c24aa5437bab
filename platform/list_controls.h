#pragma once

#include <string>
#include <vector>

#include "platform/win_types.h"

/// How a list view column aligns its cells.
enum class ColumnAlignment { Left, Right, Center };

/// Which way a list view's rows are sorted by a column, as its header shows it.
enum class SortDirection { None, Ascending, Descending };

/// Which of a list view's image lists: the normal one, or the small one that report rows show.
enum class ImageListKind { Normal, Small };

/// The two list controls: the report list view (rows of cells, index 0 at the top) and the
/// drop-down list (entries of which at most one is selected).
class ListControls {
public:
    virtual ~ListControls() = default;

    /// Inserts a column before position; width in pixels, or -1 to leave it to the control.
    virtual void listInsertColumn(HWND list, int position, const std::string& heading,
                                  ColumnAlignment alignment, int width) = 0;
    /// Inserts a row before position (past the end: appends); returns its index, or -1.
    virtual int listInsertItem(HWND list, int position, const std::string& text, int image) = 0;
    /// Sets a cell; false for a row that does not exist or a sub-item without a column.
    virtual bool listSetItemText(HWND list, int item, int subItem, const std::string& text) = 0;
    virtual void listDeleteAllItems(HWND list) = 0;
    virtual int listItemCount(HWND list) const = 0;
    /// The cell's text; empty for a cell that was never set or does not exist.
    virtual std::string listItemText(HWND list, int item, int subItem) const = 0;
    /// The row's image index, or -1 for a row that does not exist.
    virtual int listItemImage(HWND list, int item) const = 0;
    /// Lends the list images (not owned; null: none).
    virtual void listSetImageList(HWND list, HIMAGELIST images, ImageListKind kind) = 0;
    /// Sets a column's width in pixels of the templates' font, as listInsertColumn's width.
    virtual void listSetColumnWidth(HWND list, int column, int width) = 0;
    /// Selects or deselects a row, or every row for item -1. Several rows may be selected at
    /// once; a selected row stays selected when rows are inserted above it.
    virtual void listSetSelected(HWND list, int item, bool selected) = 0;
    /// Scrolls the list so that the row shows.
    virtual void listEnsureVisible(HWND list, int item) = 0;
    /// The first selected row, or -1 when none is.
    virtual int listFirstSelected(HWND list) const = 0;
    /// Sets a row's description: what a tooltip over its first cell shows after its status, and
    /// what assistive technology reads with it (why a file could not be read, say).
    virtual void listSetItemDescription(HWND list, int item, const std::string& text) = 0;
    /// Marks column's header with the direction its rows are sorted in; None (or a column of -1)
    /// marks no header. A click on a header sends the list's dialog WM_NOTIFY LVN_COLUMNCLICK.
    virtual void listSetSortIndicator(HWND list, int column, SortDirection direction) = 0;
    /// Shows the columns left to right in order (column indexes); a cell keeps its column index.
    virtual void listSetColumnOrder(HWND list, const std::vector<int>& order) = 0;
    /// The column width, in the units of listSetColumnWidth, that shows text whole in a cell
    /// (its margins included). A cell too narrow for its text shows it elided in the middle, its
    /// first and last characters kept; its tooltip and accessible description hold it whole.
    virtual int listTextWidth(HWND list, const std::string& text) const = 0;
    /// The width the columns have side by side without scrolling sideways, in the same units.
    virtual int listColumnSpace(HWND list) const = 0;

    /// Appends an entry to a drop-down list; returns its index, or -1.
    virtual int comboAddString(HWND combo, const std::string& text) = 0;
    virtual int comboCount(HWND combo) const = 0;
    /// The selected entry's index, or -1 when none is.
    virtual int comboSelection(HWND combo) const = 0;
    /// Selects entry index without telling the dialog; an index out of range (-1 included)
    /// leaves none selected. Returns the selected index, or -1.
    virtual int comboSelect(HWND combo, int index) = 0;
    /// Removes every entry; none is selected then.
    virtual void comboResetContent(HWND combo) = 0;
};
