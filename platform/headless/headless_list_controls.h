#pragma once

#include <vector>

#include "platform/list_controls.h"

class HeadlessDesktop;

/// The headless list controls: a list view's rows live in its record (HeadlessListView), a
/// drop-down list's entries too (HeadlessComboBox).
class HeadlessListControls : public ListControls {
public:
    explicit HeadlessListControls(HeadlessDesktop& desktop) : m_desktop(desktop) {}

    void listInsertColumn(HWND list, int position, const std::string& heading,
                          ColumnAlignment alignment, int width) override;
    int listInsertItem(HWND list, int position, const std::string& text, int image) override;
    bool listSetItemText(HWND list, int item, int subItem, const std::string& text) override;
    void listDeleteAllItems(HWND list) override;
    int listItemCount(HWND list) const override;
    std::string listItemText(HWND list, int item, int subItem) const override;
    int listItemImage(HWND list, int item) const override;
    void listSetImageList(HWND list, HIMAGELIST images, ImageListKind kind) override;
    void listSetColumnWidth(HWND list, int column, int width) override;
    void listSetSelected(HWND list, int item, bool selected) override;
    void listEnsureVisible(HWND list, int item) override;
    int listFirstSelected(HWND list) const override;
    void listSetItemDescription(HWND list, int item, const std::string& text) override;
    void listSetSortIndicator(HWND list, int column, SortDirection direction) override;
    void listSetColumnOrder(HWND list, const std::vector<int>& order) override;
    /// Every byte is as wide as the average character, 6 pixels, and a cell's margins take 12.
    int listTextWidth(HWND list, const std::string& text) const override;
    /// The list's client width.
    int listColumnSpace(HWND list) const override;

    int comboAddString(HWND combo, const std::string& text) override;
    int comboCount(HWND combo) const override;
    int comboSelection(HWND combo) const override;
    int comboSelect(HWND combo, int index) override;
    void comboResetContent(HWND combo) override;

    // What tests read of a list view (see HeadlessListView); a handle that is no list view reads
    // as an empty one.
    /// The width last given to column; -1 when left to the control or there is no such column.
    int columnWidth(HWND list, int column) const;
    /// The selected rows, in ascending order.
    std::vector<int> selectedItems(HWND list) const;
    /// The row last scrolled into view, or -1.
    int lastVisibleItem(HWND list) const;

private:
    HeadlessDesktop& m_desktop;
};
