// The Qt backend itself: construction, drawing and the records of windows. Windows and
// controls are made in qt_backend_windows.cpp, geometry and text in qt_backend_geometry.cpp,
// lists and menus in qt_backend_lists.cpp, modal runs and the desktop services in
// qt_backend_services.cpp, posted messages in qt_backend_messages.cpp.

#include "platform/qt/qt_backend.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QWidget>

#include "platform/image.h"
#include "platform/qt/qt_dialog_units.h"
#include "platform/qt/qt_images.h"
#include "platform/qt/qt_input_blocker.h"
#include "platform/qt/qt_window.h"
#include "platform/qt/qt_window_sizer.h"

/// One paint cycle: a painter on the window when it runs inside Qt's paint event.
struct QtBackend::PaintContext {
    std::unique_ptr<QPainter> painter;
};

QtBackend::QtBackend() : m_blocker(new QtInputBlocker) {
    if (QCoreApplication* application = QCoreApplication::instance()) {
        application->installEventFilter(m_blocker);
    }
    // The program ends when its modal run ends, not when Qt sees its last window go.
    QGuiApplication::setQuitOnLastWindowClosed(false);
}

QtBackend::~QtBackend() {
    std::vector<QtWindow*> dialogs;
    for (const std::unique_ptr<QtWindow>& record : m_records) {
        if (m_live.count(record.get()) != 0 && record->isDialog) {
            dialogs.push_back(record.get());
        }
    }
    for (QtWindow* dialog : dialogs) {
        destroyWindow(dialog->handle());
    }
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeEventFilter(m_blocker);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    delete m_blocker;
    for (const PaintContext* paint : m_paints) {
        delete paint;
    }
}

void QtBackend::setDialogs(QtDialogs* dialogs) {
    m_dialogs = dialogs != nullptr ? dialogs : &m_standardDialogs;
}

QWidget* QtBackend::widget(HWND wnd) const {
    QtWindow* window = find(wnd);
    return window != nullptr ? window->widget.data() : nullptr;
}

// The units are measured once per font: measuring shapes a text, and a list's columns ask for
// them with every row whose text widens one.
const QtDialogUnits& QtBackend::dialogUnits() const {
    const QFont font = QApplication::font();
    if (!m_units || !(font == m_unitsFont)) {
        m_unitsFont = font;
        m_units = QtDialogUnits(font);
    }
    return *m_units;
}

int QtBackend::baseUnitX() const {
    return dialogUnits().baseX();
}

int QtBackend::baseUnitY() const {
    return dialogUnits().baseY();
}

// Drawing.

void QtBackend::setRedraw(HWND wnd, bool redraw) {
    QtWindow* window = find(wnd);
    if (window != nullptr && window->widget != nullptr) {
        window->widget->setUpdatesEnabled(redraw);
    }
}

void QtBackend::invalidate(HWND wnd) {
    QtWindow* window = find(wnd);
    if (window != nullptr && window->widget != nullptr) {
        window->widget->update();
    }
}

HDC QtBackend::beginPaint(HWND wnd) {
    QtWindow* window = find(wnd);
    if (window == nullptr) {
        return nullptr;
    }
    auto* paint = new PaintContext;
    // Qt lets a widget be painted on only inside its paint event; elsewhere drawing does nothing.
    if (window->inPaint && window->widget != nullptr) {
        paint->painter = std::make_unique<QPainter>(window->widget.data());
    }
    m_paints.insert(paint);
    return reinterpret_cast<HDC>(paint);
}

void QtBackend::endPaint(HWND /*wnd*/, HDC dc) {
    auto* paint = reinterpret_cast<PaintContext*>(dc);
    if (m_paints.erase(paint) != 0) {
        delete paint;
    }
}

void QtBackend::drawIcon(HDC dc, int x, int y, HICON icon) {
    auto* paint = reinterpret_cast<PaintContext*>(dc);
    if (m_paints.count(paint) == 0 || paint->painter == nullptr || icon == nullptr) {
        return;
    }
    if (const Image* image = icon->bestFor(ICON_SIZE)) {
        paint->painter->drawImage(QPoint(x, y), QtImages::toQImage(*image));
    }
}

void QtBackend::setIcon(HWND wnd, IconSize size, HICON icon) {
    QtWindow* window = find(wnd);
    if (window == nullptr) {
        return;
    }
    (size == IconSize::Big ? window->bigIcon : window->smallIcon) = icon;
    if (window->widget != nullptr) {
        window->widget->setWindowIcon(QtImages::toIcon(window->bigIcon, window->smallIcon));
    }
}

HICON QtBackend::windowIcon(HWND wnd, IconSize size) const {
    QtWindow* window = find(wnd);
    if (window == nullptr) {
        return nullptr;
    }
    return size == IconSize::Big ? window->bigIcon : window->smallIcon;
}

void QtBackend::setStaticBitmap(HWND control, HBITMAP bitmap) {
    QtWindow* window = find(control);
    if (window == nullptr || window->kind != ControlKind::StaticBitmap ||
        window->widget == nullptr) {
        return;
    }
    auto* label = static_cast<QLabel*>(window->widget.data());
    if (bitmap == nullptr) {
        label->clear();
        return;
    }
    label->setPixmap(QtImages::toPixmap(*bitmap));
    QtWindowSizer::resize(*window, QSize(bitmap->width, bitmap->height));
}

// Bookkeeping.

QtWindow* QtBackend::find(HWND wnd) const {
    const auto* window = reinterpret_cast<const QtWindow*>(wnd);
    if (window == nullptr || m_live.count(window) == 0) {
        return nullptr;
    }
    return const_cast<QtWindow*>(window);
}

QtWindow* QtBackend::topLevelOf(QtWindow* window) const {
    return window != nullptr && window->parent != nullptr ? window->parent : window;
}

QtWindow* QtBackend::newRecord() {
    m_records.push_back(std::make_unique<QtWindow>());
    return m_records.back().get();
}
