// The Qt backend's report list views, drop-down lists and system menus.

#include "platform/qt/qt_backend.h"

#include <QComboBox>
#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <QTreeView>
#include <algorithm>

#include "platform/qt/qt_list_selection.h"
#include "platform/qt/qt_report_model.h"
#include "platform/qt/qt_system_menu.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/qt_window.h"

namespace {

QTreeView* viewOf(const QtWindow& list) {
    return static_cast<QTreeView*>(list.widget.data());
}

// Column widths are pixels of the dialog font the templates were drawn for, whose average
// character is 6 pixels wide; scaled to this font, a column that held a 32-digit checksum there
// holds it here too.
int scaledWidth(int width, int baseUnitX) {
    return (width * baseUnitX + 3) / 6;
}

// The other way: pixels of this font as pixels of the templates' font, rounded up or down.
int templateWidth(int pixels, int baseUnitX, bool roundUp) {
    const int unit = std::max(1, baseUnitX);
    return (pixels * 6 + (roundUp ? unit - 1 : 0)) / unit;
}

} // namespace

QtReportModel* QtBackend::listModel(HWND list) const {
    QtWindow* window = findList(list);
    return window != nullptr ? window->model : nullptr;
}

QMenu* QtBackend::systemMenuWidget(HWND wnd) const {
    QtWindow* window = find(wnd);
    return window != nullptr && window->systemMenu != nullptr ? window->systemMenu->menu()
                                                              : nullptr;
}

// Report list view.

void QtBackend::listInsertColumn(HWND list, int position, const std::string& heading,
                                 ColumnAlignment alignment, int width) {
    QtWindow* window = findList(list);
    if (window == nullptr) {
        return;
    }
    const int at = std::clamp(position, 0, window->model->columnCount());
    window->model->insertColumn(at, heading, alignment);
    if (width >= 0 && window->widget != nullptr) {
        viewOf(*window)->header()->resizeSection(at, scaledWidth(width, baseUnitX()));
    }
}

int QtBackend::listInsertItem(HWND list, int position, const std::string& text, int image) {
    QtWindow* window = findList(list);
    return window != nullptr ? window->model->insertItem(position, text, image) : -1;
}

bool QtBackend::listSetItemText(HWND list, int item, int subItem, const std::string& text) {
    QtWindow* window = findList(list);
    return window != nullptr && window->model->setItemText(item, subItem, text);
}

void QtBackend::listDeleteAllItems(HWND list) {
    if (QtWindow* window = findList(list)) {
        window->model->deleteAllItems();
    }
}

int QtBackend::listItemCount(HWND list) const {
    QtWindow* window = findList(list);
    if (window == nullptr) {
        return 0;
    }
    // Whoever asks about the rows may look at the view next: let it know them all.
    window->model->flush();
    return window->model->itemCount();
}

std::string QtBackend::listItemText(HWND list, int item, int subItem) const {
    QtWindow* window = findList(list);
    if (window == nullptr) {
        return std::string();
    }
    window->model->flush();
    return window->model->itemText(item, subItem);
}

int QtBackend::listItemImage(HWND list, int item) const {
    QtWindow* window = findList(list);
    if (window == nullptr) {
        return -1;
    }
    window->model->flush();
    return window->model->itemImage(item);
}

void QtBackend::listSetImageList(HWND list, HIMAGELIST images, ImageListKind kind) {
    QtWindow* window = findList(list);
    // Report rows show the small images only.
    if (window != nullptr && kind == ImageListKind::Small) {
        window->model->setImages(images);
    }
}

void QtBackend::listSetColumnWidth(HWND list, int column, int width) {
    QtWindow* window = findList(list);
    if (window == nullptr || window->widget == nullptr || width < 0 || column < 0 ||
        column >= window->model->columnCount()) {
        return;
    }
    viewOf(*window)->header()->resizeSection(column, scaledWidth(width, baseUnitX()));
}

void QtBackend::listSetSelected(HWND list, int item, bool selected) {
    QtWindow* window = findList(list);
    if (window == nullptr || window->selection == nullptr) {
        return;
    }
    if (item == -1 && !selected) {
        window->selection->clear();
        return;
    }
    QtReportModel* model = window->model;
    // The framework names rows by the index it knows; the view must know the same rows.
    model->flush();
    const int last = model->rowCount() - 1;
    if (item < -1 || item > last || model->columnCount() == 0) {
        return;
    }
    window->selection->setRows(model->index(item == -1 ? 0 : item, 0),
                               model->index(item == -1 ? last : item, 0), selected);
}

void QtBackend::listEnsureVisible(HWND list, int item) {
    QtWindow* window = findList(list);
    if (window == nullptr || window->widget == nullptr) {
        return;
    }
    window->model->flush();
    if (item < 0 || item >= window->model->rowCount()) {
        return;
    }
    QTreeView* view = viewOf(*window);
    const int across = view->horizontalScrollBar()->value();
    view->scrollTo(window->model->index(item, 0), QAbstractItemView::EnsureVisible);
    view->horizontalScrollBar()->setValue(across);
}

int QtBackend::listFirstSelected(HWND list) const {
    QtWindow* window = findList(list);
    if (window == nullptr || window->widget == nullptr || window->selection == nullptr) {
        return -1;
    }
    window->model->flush();
    window->selection->apply();
    int first = -1;
    for (const QModelIndex& row : viewOf(*window)->selectionModel()->selectedRows()) {
        if (first < 0 || row.row() < first) {
            first = row.row();
        }
    }
    return first;
}

void QtBackend::listSetItemDescription(HWND list, int item, const std::string& text) {
    if (QtWindow* window = findList(list)) {
        window->model->setItemDescription(item, text);
    }
}

void QtBackend::listSetSortIndicator(HWND list, int column, SortDirection direction) {
    QtWindow* window = findList(list);
    if (window == nullptr || window->widget == nullptr) {
        return;
    }
    QHeaderView* header = viewOf(*window)->header();
    const bool shown = direction != SortDirection::None && column >= 0;
    header->setSortIndicatorShown(shown);
    if (shown) {
        header->setSortIndicator(column, direction == SortDirection::Ascending
                                             ? Qt::AscendingOrder
                                             : Qt::DescendingOrder);
    }
}

void QtBackend::listSetColumnOrder(HWND list, const std::vector<int>& order) {
    QtWindow* window = findList(list);
    if (window == nullptr || window->widget == nullptr) {
        return;
    }
    QHeaderView* header = viewOf(*window)->header();
    for (int place = 0; place < int(order.size()); ++place) {
        const int column = order[std::size_t(place)];
        if (column >= 0 && column < header->count() && place < header->count()) {
            header->moveSection(header->visualIndex(column), place);
        }
    }
}

int QtBackend::listTextWidth(HWND list, const std::string& text) const {
    QtWindow* window = findList(list);
    if (window == nullptr || window->widget == nullptr) {
        return 0;
    }
    // The text and the cell's margins on both sides, as the item delegate lays a cell out, and
    // a few pixels against the rounding between this font's pixels and the templates'.
    const QTreeView* view = viewOf(*window);
    const int margin = view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    const int pixels = m_listTextWidths.of(view->font(), text) + 2 * margin + 4;
    return templateWidth(pixels, baseUnitX(), true);
}

int QtBackend::listColumnSpace(HWND list) const {
    QtWindow* window = findList(list);
    if (window == nullptr || window->widget == nullptr) {
        return 0;
    }
    // The viewport's width, without the vertical scroll bar when the rows need one; the rows
    // are counted rather than the bar looked at, which shows only once the view is laid out.
    window->model->flush();
    const QTreeView* view = viewOf(*window);
    const int rows = window->model->rowCount();
    const int rowHeight = rows > 0 ? view->sizeHintForRow(0) : 0;
    const int scrollBar =
        rows * rowHeight > view->viewport()->height()
            ? view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view)
            : 0;
    const int pixels = view->width() - 2 * view->frameWidth() - scrollBar;
    return templateWidth(std::max(0, pixels), baseUnitX(), false);
}

// Drop-down list.

int QtBackend::comboAddString(HWND combo, const std::string& text) {
    QComboBox* box = findCombo(combo);
    if (box == nullptr) {
        return -1;
    }
    // QComboBox selects the first entry added to it; a drop-down list starts with none.
    const int before = box->currentIndex();
    box->addItem(QtText::toQString(text));
    if (before == -1) {
        box->setCurrentIndex(-1);
    }
    return box->count() - 1;
}

int QtBackend::comboCount(HWND combo) const {
    const QComboBox* box = findCombo(combo);
    return box != nullptr ? box->count() : 0;
}

int QtBackend::comboSelection(HWND combo) const {
    const QComboBox* box = findCombo(combo);
    return box != nullptr ? box->currentIndex() : -1;
}

int QtBackend::comboSelect(HWND combo, int index) {
    QComboBox* box = findCombo(combo);
    if (box == nullptr) {
        return -1;
    }
    box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
    return box->currentIndex();
}

void QtBackend::comboResetContent(HWND combo) {
    if (QComboBox* box = findCombo(combo)) {
        box->clear();
    }
}

// System menu.

HMENU QtBackend::systemMenu(HWND wnd) {
    QtWindow* window = find(wnd);
    return window != nullptr && window->systemMenu != nullptr ? window->systemMenu->handle()
                                                              : nullptr;
}

bool QtBackend::checkMenuEntry(HMENU menu, UINT_PTR id, bool checked) {
    for (const QtWindow* window : m_live) {
        if (window->systemMenu != nullptr && window->systemMenu->handle() == menu) {
            return window->systemMenu->check(UINT(id), checked);
        }
    }
    return false;
}

bool QtBackend::appendMenu(HMENU menu, MenuEntryKind kind, UINT_PTR id, const std::string& text) {
    // Only menus of live windows are accepted; a stale handle is never dereferenced.
    for (const QtWindow* window : m_live) {
        if (window->systemMenu != nullptr && window->systemMenu->handle() == menu) {
            return window->systemMenu->append(kind, id, text);
        }
    }
    return false;
}

QtWindow* QtBackend::findList(HWND list) const {
    QtWindow* window = find(list);
    return window != nullptr && window->kind == ControlKind::ListView && window->model != nullptr
               ? window
               : nullptr;
}

QComboBox* QtBackend::findCombo(HWND combo) const {
    QtWindow* window = find(combo);
    if (window == nullptr || window->kind != ControlKind::ComboBox) {
        return nullptr;
    }
    return static_cast<QComboBox*>(window->widget.data());
}
