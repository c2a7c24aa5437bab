#include "platform/headless/headless_list_controls.h"

#include "platform/headless/headless_desktop.h"

namespace {

// The rows of a live list view, or null for any other handle.
HeadlessListView* rowsOf(const HeadlessDesktop& desktop, HWND list) {
    HeadlessWindow* window = desktop.find(list);
    return window != nullptr && window->kind == ControlKind::ListView ? &window->list : nullptr;
}

// The entries of a live drop-down list, or null for any other handle.
HeadlessComboBox* entriesOf(const HeadlessDesktop& desktop, HWND combo) {
    HeadlessWindow* window = desktop.find(combo);
    return window != nullptr && window->kind == ControlKind::ComboBox ? &window->combo : nullptr;
}

} // namespace

void HeadlessListControls::listInsertColumn(HWND list, int position, const std::string& heading,
                                            ColumnAlignment alignment, int width) {
    if (HeadlessListView* rows = rowsOf(m_desktop, list)) {
        rows->insertColumn(position, ListColumn{heading, alignment, width});
    }
}

int HeadlessListControls::listInsertItem(HWND list, int position, const std::string& text,
                                         int image) {
    HeadlessListView* rows = rowsOf(m_desktop, list);
    return rows != nullptr ? rows->insertItem(position, text, image) : -1;
}

bool HeadlessListControls::listSetItemText(HWND list, int item, int subItem,
                                           const std::string& text) {
    HeadlessListView* rows = rowsOf(m_desktop, list);
    return rows != nullptr && rows->setItemText(item, subItem, text);
}

void HeadlessListControls::listDeleteAllItems(HWND list) {
    if (HeadlessListView* rows = rowsOf(m_desktop, list)) {
        rows->deleteAllItems();
    }
}

int HeadlessListControls::listItemCount(HWND list) const {
    const HeadlessListView* rows = rowsOf(m_desktop, list);
    return rows != nullptr ? rows->itemCount() : 0;
}

std::string HeadlessListControls::listItemText(HWND list, int item, int subItem) const {
    const HeadlessListView* rows = rowsOf(m_desktop, list);
    return rows != nullptr ? rows->itemText(item, subItem) : std::string();
}

int HeadlessListControls::listItemImage(HWND list, int item) const {
    const HeadlessListView* rows = rowsOf(m_desktop, list);
    return rows != nullptr ? rows->itemImage(item) : -1;
}

void HeadlessListControls::listSetImageList(HWND list, HIMAGELIST images, ImageListKind kind) {
    if (HeadlessListView* rows = rowsOf(m_desktop, list)) {
        rows->setImageList(images, kind);
    }
}

void HeadlessListControls::listSetColumnWidth(HWND list, int column, int width) {
    if (HeadlessListView* rows = rowsOf(m_desktop, list)) {
        rows->setColumnWidth(column, width);
    }
}

void HeadlessListControls::listSetSelected(HWND list, int item, bool selected) {
    if (HeadlessListView* rows = rowsOf(m_desktop, list)) {
        rows->setSelected(item, selected);
    }
}

void HeadlessListControls::listEnsureVisible(HWND list, int item) {
    if (HeadlessListView* rows = rowsOf(m_desktop, list)) {
        rows->ensureVisible(item);
    }
}

int HeadlessListControls::listFirstSelected(HWND list) const {
    const std::vector<int> selected = selectedItems(list);
    return selected.empty() ? -1 : selected.front();
}

void HeadlessListControls::listSetItemDescription(HWND list, int item, const std::string& text) {
    if (HeadlessListView* rows = rowsOf(m_desktop, list)) {
        rows->setDescription(item, text);
    }
}

void HeadlessListControls::listSetSortIndicator(HWND list, int column, SortDirection direction) {
    if (HeadlessListView* rows = rowsOf(m_desktop, list)) {
        rows->setSortIndicator(column, direction);
    }
}

void HeadlessListControls::listSetColumnOrder(HWND list, const std::vector<int>& order) {
    if (HeadlessListView* rows = rowsOf(m_desktop, list)) {
        rows->setColumnOrder(order);
    }
}

int HeadlessListControls::listTextWidth(HWND list, const std::string& text) const {
    return rowsOf(m_desktop, list) != nullptr ? 6 * int(text.size()) + 12 : 0;
}

int HeadlessListControls::listColumnSpace(HWND list) const {
    const HeadlessWindow* window = m_desktop.find(list);
    return window != nullptr && window->kind == ControlKind::ListView ? window->rect.width() : 0;
}

int HeadlessListControls::comboAddString(HWND combo, const std::string& text) {
    HeadlessComboBox* entries = entriesOf(m_desktop, combo);
    return entries != nullptr ? entries->addString(text) : -1;
}

int HeadlessListControls::comboCount(HWND combo) const {
    const HeadlessComboBox* entries = entriesOf(m_desktop, combo);
    return entries != nullptr ? entries->count() : 0;
}

int HeadlessListControls::comboSelection(HWND combo) const {
    const HeadlessComboBox* entries = entriesOf(m_desktop, combo);
    return entries != nullptr ? entries->selection() : -1;
}

int HeadlessListControls::comboSelect(HWND combo, int index) {
    HeadlessComboBox* entries = entriesOf(m_desktop, combo);
    return entries != nullptr ? entries->select(index) : -1;
}

void HeadlessListControls::comboResetContent(HWND combo) {
    if (HeadlessComboBox* entries = entriesOf(m_desktop, combo)) {
        entries->reset();
    }
}

int HeadlessListControls::columnWidth(HWND list, int column) const {
    const HeadlessListView* rows = rowsOf(m_desktop, list);
    if (rows == nullptr || column < 0 || column >= int(rows->columns().size())) {
        return -1;
    }
    return rows->columns()[std::size_t(column)].width;
}

std::vector<int> HeadlessListControls::selectedItems(HWND list) const {
    const HeadlessListView* rows = rowsOf(m_desktop, list);
    return rows != nullptr ? rows->selectedItems() : std::vector<int>();
}

int HeadlessListControls::lastVisibleItem(HWND list) const {
    const HeadlessListView* rows = rowsOf(m_desktop, list);
    return rows != nullptr ? rows->lastVisibleItem() : -1;
}
