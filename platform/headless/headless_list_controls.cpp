#include "platform/headless/headless_list_controls.h"

#include "platform/headless/headless_desktop.h"

namespace {

// The rows of a live list view, or null for any other handle.
HeadlessListView* rowsOf(const HeadlessDesktop& desktop, HWND list) {
    HeadlessWindow* window = desktop.find(list);
    return window != nullptr && window->kind == ControlKind::ListView ? &window->list : nullptr;
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
