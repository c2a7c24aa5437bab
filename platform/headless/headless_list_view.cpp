#include "platform/headless/headless_list_view.h"

#include <algorithm>

void HeadlessListView::insertColumn(int position, ListColumn column) {
    const int at = std::clamp(position, 0, int(m_columns.size()));
    m_columns.insert(m_columns.begin() + at, std::move(column));
}

int HeadlessListView::insertItem(int position, const std::string& text, int image) {
    if (position < 0) {
        return -1;
    }
    Row row;
    row.texts.push_back(text);
    row.image = image;
    // The top and the end are the common cases and must stay O(1) at any size.
    if (position == 0) {
        m_rows.push_front(std::move(row));
        return 0;
    }
    if (position >= itemCount()) {
        m_rows.push_back(std::move(row));
        return itemCount() - 1;
    }
    m_rows.insert(m_rows.begin() + position, std::move(row));
    return position;
}

bool HeadlessListView::setItemText(int item, int subItem, const std::string& text) {
    // Sub-item 0 is the row's own text; the others need a column to be shown in.
    if (!validRow(item) || subItem < 0 || (subItem > 0 && subItem >= int(m_columns.size()))) {
        return false;
    }
    std::vector<std::string>& texts = m_rows[std::size_t(item)].texts;
    if (std::size_t(subItem) >= texts.size()) {
        texts.resize(std::size_t(subItem) + 1);
    }
    texts[std::size_t(subItem)] = text;
    return true;
}

void HeadlessListView::deleteAllItems() {
    m_rows.clear();
    m_lastVisible = -1;
}

bool HeadlessListView::setColumnWidth(int column, int width) {
    if (column < 0 || column >= int(m_columns.size())) {
        return false;
    }
    m_columns[std::size_t(column)].width = width;
    return true;
}

bool HeadlessListView::setSelected(int item, bool selected) {
    if (item == -1) {
        for (Row& row : m_rows) {
            row.selected = selected;
        }
        return true;
    }
    if (!validRow(item)) {
        return false;
    }
    m_rows[std::size_t(item)].selected = selected;
    return true;
}

bool HeadlessListView::ensureVisible(int item) {
    if (!validRow(item)) {
        return false;
    }
    m_lastVisible = item;
    return true;
}

std::vector<int> HeadlessListView::selectedItems() const {
    std::vector<int> items;
    for (int item = 0; item < itemCount(); ++item) {
        if (m_rows[std::size_t(item)].selected) {
            items.push_back(item);
        }
    }
    return items;
}

std::string HeadlessListView::itemText(int item, int subItem) const {
    if (!validRow(item) || subItem < 0) {
        return {};
    }
    const std::vector<std::string>& texts = m_rows[std::size_t(item)].texts;
    return std::size_t(subItem) < texts.size() ? texts[std::size_t(subItem)] : std::string();
}

int HeadlessListView::itemImage(int item) const {
    return validRow(item) ? m_rows[std::size_t(item)].image : -1;
}

void HeadlessListView::setImageList(HIMAGELIST images, ImageListKind kind) {
    (kind == ImageListKind::Small ? m_smallImages : m_normalImages) = images;
}

HIMAGELIST HeadlessListView::imageList(ImageListKind kind) const {
    return kind == ImageListKind::Small ? m_smallImages : m_normalImages;
}

bool HeadlessListView::setDescription(int item, const std::string& text) {
    if (!validRow(item)) {
        return false;
    }
    m_rows[std::size_t(item)].description = text;
    return true;
}

std::string HeadlessListView::itemDescription(int item) const {
    return validRow(item) ? m_rows[std::size_t(item)].description : std::string();
}

void HeadlessListView::setSortIndicator(int column, SortDirection direction) {
    const bool shown = direction != SortDirection::None && column >= 0;
    m_sortColumn = shown ? column : -1;
    m_sortDirection = shown ? direction : SortDirection::None;
}
