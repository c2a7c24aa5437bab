// The Qt backend's geometry, window texts, accessible names and check states.

#include "platform/qt/qt_backend.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include "platform/qt/qt_control_factory.h"
#include "platform/qt/qt_window.h"
#include "platform/qt/qt_window_sizer.h"

// Geometry.

RECT QtBackend::windowRect(HWND wnd) const {
    QtWindow* window = find(wnd);
    return window != nullptr ? QtWindowSizer::windowRect(*window) : RECT{};
}

RECT QtBackend::clientRect(HWND wnd) const {
    QtWindow* window = find(wnd);
    if (window == nullptr || window->widget == nullptr) {
        return RECT{};
    }
    return RECT{0, 0, window->widget->width(), window->widget->height()};
}

POINT QtBackend::clientOrigin(HWND wnd) const {
    QtWindow* window = find(wnd);
    return window != nullptr ? QtWindowSizer::clientOrigin(*window) : POINT{};
}

void QtBackend::moveWindow(HWND wnd, int x, int y, int cx, int cy) {
    if (QtWindow* window = find(wnd)) {
        QtWindowSizer::move(*window, x, y, cx, cy);
    }
}

void QtBackend::setZOrder(HWND wnd, ZOrder where) {
    QtWindow* window = find(wnd);
    if (window == nullptr || window->widget == nullptr) {
        return;
    }
    if (where == ZOrder::Bottom) {
        window->widget->lower();
    } else {
        window->widget->raise();
    }
}

void QtBackend::showWindow(HWND wnd, ShowCommand command) {
    QtWindow* window = find(wnd);
    if (window == nullptr || window->widget == nullptr) {
        return;
    }
    QWidget* widget = window->widget;
    if (window->isDialog && command != ShowCommand::Hide && window->owner != nullptr &&
        window->owner->widget != nullptr) {
        // Kept above its owner by the window manager, without being a Qt child of it.
        widget->winId();
        window->owner->widget->winId();
        widget->windowHandle()->setTransientParent(window->owner->widget->windowHandle());
    }
    switch (command) {
    case ShowCommand::Hide:
        widget->hide();
        break;
    case ShowCommand::Minimize:
        widget->showMinimized();
        break;
    case ShowCommand::Restore:
        if (widget->isMinimized()) {
            widget->showNormal();
            break;
        }
        [[fallthrough]];
    case ShowCommand::Show:
        widget->show();
        if (window->isDialog) {
            widget->raise();
            widget->activateWindow();
        }
        break;
    }
}

bool QtBackend::isVisible(HWND wnd) const {
    QtWindow* window = find(wnd);
    return window != nullptr && window->widget != nullptr && window->widget->isVisible();
}

bool QtBackend::isIconic(HWND wnd) const {
    QtWindow* window = find(wnd);
    return window != nullptr && window->isDialog && window->widget != nullptr &&
           window->widget->isMinimized();
}

void QtBackend::enableWindow(HWND wnd, bool enable) {
    QtWindow* window = find(wnd);
    if (window == nullptr) {
        return;
    }
    if (window->isDialog) {
        // Not QWidget::setEnabled, which would grey out every control (QtInputBlocker).
        window->enabled = enable;
    } else if (window->widget != nullptr) {
        window->widget->setEnabled(enable);
    }
}

bool QtBackend::isEnabled(HWND wnd) const {
    QtWindow* window = find(wnd);
    if (window == nullptr) {
        return false;
    }
    if (window->isDialog) {
        return window->enabled;
    }
    return window->widget != nullptr && window->widget->isEnabled();
}

SIZE QtBackend::screenSize() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return SIZE{};
    }
    return SIZE{screen->geometry().width(), screen->geometry().height()};
}

// Text and state.

void QtBackend::setWindowText(HWND wnd, const std::string& text) {
    if (QtWindow* window = find(wnd)) {
        window->text = text;
        QtControlFactory::applyText(*window);
    }
}

std::string QtBackend::windowText(HWND wnd) const {
    QtWindow* window = find(wnd);
    return window != nullptr ? window->text : std::string();
}

void QtBackend::setAccessibleName(HWND control, const std::string& name) {
    if (QtWindow* window = find(control)) {
        window->accessibleName = name;
        QtControlFactory::applyText(*window);
    }
}

bool QtBackend::isChecked(HWND button) const {
    QtWindow* window = find(button);
    if (window == nullptr || window->kind != ControlKind::RadioButton ||
        window->widget == nullptr) {
        return false;
    }
    return static_cast<QAbstractButton*>(window->widget.data())->isChecked();
}

void QtBackend::setChecked(HWND button, bool checked) {
    QtWindow* window = find(button);
    if (window == nullptr || window->kind != ControlKind::RadioButton ||
        window->widget == nullptr) {
        return;
    }
    // Setting one button leaves the rest of its group alone: the program's own calls may leave a
    // group with none checked. Only the user's choices uncheck the others.
    static_cast<QAbstractButton*>(window->widget.data())->setChecked(checked);
    QtControlFactory::updateGroupTabStop(*window);
}
