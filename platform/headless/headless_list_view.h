#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/list_controls.h"
#include "platform/win_types.h"

/// One column of a report list view.
struct ListColumn {
    std::string heading;
    ColumnAlignment alignment = ColumnAlignment::Left;
    int width = 0;
};

/// The content of a report list view: columns, rows (index 0 at the top) and image lists.
/// Rows live in a deque so that inserting at the top costs the same at any row count.
class HeadlessListView {
public:
    /// Inserts a column before position (clamped to the ends).
    void insertColumn(int position, ListColumn column);
    /// Inserts a row before position; a position past the end appends. The index, or -1.
    int insertItem(int position, const std::string& text, int image);
    /// Sets a cell; false for a row that does not exist or a sub-item without a column.
    bool setItemText(int item, int subItem, const std::string& text);
    /// Removes every row; none is selected or made visible then.
    void deleteAllItems();
    /// Sets a column's width; false for a column that does not exist.
    bool setColumnWidth(int column, int width);
    /// Selects or deselects row item, or every row for -1; false for a row that does not exist.
    bool setSelected(int item, bool selected);
    /// Notes that row item was scrolled into view; false for a row that does not exist.
    bool ensureVisible(int item);
    /// Sets row item's description; false for a row that does not exist.
    bool setDescription(int item, const std::string& text);
    void setSortIndicator(int column, SortDirection direction);
    void setColumnOrder(std::vector<int> order) { m_columnOrder = std::move(order); }

    int itemCount() const { return int(m_rows.size()); }
    /// The cell's text; empty for a cell that was never set or does not exist.
    std::string itemText(int item, int subItem) const;
    /// The row's image index, or -1 for a row that does not exist.
    int itemImage(int item) const;
    /// The row's description; empty when none was set or the row does not exist.
    std::string itemDescription(int item) const;
    /// The column whose header shows the sort, or -1, and the direction it shows.
    int sortColumn() const { return m_sortColumn; }
    SortDirection sortDirection() const { return m_sortDirection; }
    /// The columns' order on screen as last set; empty: as inserted.
    const std::vector<int>& columnOrder() const { return m_columnOrder; }
    const std::vector<ListColumn>& columns() const { return m_columns; }
    /// The selected rows, in ascending order. A selection stays with its rows when rows are
    /// inserted above them.
    std::vector<int> selectedItems() const;
    /// The row last scrolled into view, as its index then; -1 when none was since the list was
    /// made or emptied.
    int lastVisibleItem() const { return m_lastVisible; }

    void setImageList(HIMAGELIST images, ImageListKind kind);
    /// The image list given for kind, or null.
    HIMAGELIST imageList(ImageListKind kind) const;

private:
    struct Row {
        std::vector<std::string> texts; // by sub-item; shorter when later cells were never set
        int image = -1;
        bool selected = false;
        std::string description;
    };

    bool validRow(int item) const { return item >= 0 && item < itemCount(); }

    std::vector<ListColumn> m_columns;
    std::deque<Row> m_rows;
    HIMAGELIST m_smallImages = nullptr;
    HIMAGELIST m_normalImages = nullptr;
    int m_lastVisible = -1;
    int m_sortColumn = -1;
    SortDirection m_sortDirection = SortDirection::None;
    std::vector<int> m_columnOrder;
};
