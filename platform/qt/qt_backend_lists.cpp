// The Qt backend's report list views and system menus.

#include "platform/qt/qt_backend.h"

#include <QHeaderView>
#include <QTreeView>
#include <algorithm>

#include "platform/qt/qt_report_model.h"
#include "platform/qt/qt_system_menu.h"
#include "platform/qt/qt_window.h"

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
        // Column widths are pixels of the dialog font the templates were drawn for, whose
        // average character is 6 pixels wide; scaled to this font, a column that held a
        // 32-digit checksum there holds it here too.
        const int scaled = (width * baseUnitX() + 3) / 6;
        static_cast<QTreeView*>(window->widget.data())->header()->resizeSection(at, scaled);
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

// System menu.

HMENU QtBackend::systemMenu(HWND wnd) {
    QtWindow* window = find(wnd);
    return window != nullptr && window->systemMenu != nullptr ? window->systemMenu->handle()
                                                              : nullptr;
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
