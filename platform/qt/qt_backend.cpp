// The window side of the Qt backend: records, controls, geometry, text and drawing. Lists,
// menus, modal runs and the desktop services are in qt_backend_services.cpp.

#include "platform/qt/qt_backend.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include "platform/image.h"
#include "platform/qt/qt_control_factory.h"
#include "platform/qt/qt_dialog_units.h"
#include "platform/qt/qt_dialog_widget.h"
#include "platform/qt/qt_drop_site.h"
#include "platform/qt/qt_images.h"
#include "platform/qt/qt_input_blocker.h"
#include "platform/qt/qt_radio_button.h"
#include "platform/qt/qt_size_grip.h"
#include "platform/qt/qt_system_menu.h"
#include "platform/qt/qt_window.h"
#include "platform/qt/qt_window_sizer.h"

namespace {

constexpr DWORD BUTTON_TYPE_MASK = 0xF;
constexpr int SIZE_GRIP_ID = 0xFFFF; // the control ID a resizable dialog gives its size grip
constexpr int ICON_SIZE = 32;

} // namespace

/// One paint cycle: a painter on the window when it runs inside Qt's paint event.
struct QtBackend::PaintContext {
    std::unique_ptr<QPainter> painter;
};

std::function<bool(HWND, DWORD, std::string&)> QtBackend::saveDialogHook;
std::function<int(HWND, const std::string&, const std::string&, UINT)> QtBackend::messageBoxHook;

QtBackend::QtBackend() : m_blocker(new QtInputBlocker) {
    QCoreApplication::instance()->installEventFilter(m_blocker);
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

QWidget* QtBackend::widget(HWND wnd) const {
    QtWindow* window = find(wnd);
    return window != nullptr ? window->widget.data() : nullptr;
}

int QtBackend::baseUnitX() const {
    return QtDialogUnits(QApplication::font()).baseX();
}

int QtBackend::baseUnitY() const {
    return QtDialogUnits(QApplication::font()).baseY();
}

// Windows and controls.

HWND QtBackend::createDialog(const DialogTemplate& tmpl, HWND owner) {
    QtWindow& dialog = *newRecord();
    dialog.isDialog = true;
    dialog.id = tmpl.id;
    dialog.style = tmpl.style;
    dialog.text = tmpl.caption;
    dialog.owner = find(owner);
    auto* widget = new QtDialogWidget(&dialog);
    dialog.widget = widget;

    // An owned dialog belongs to its owner's window; the others get their own taskbar entry.
    const bool ownWindow = dialog.owner == nullptr || (tmpl.exStyle & WS_EX_APPWINDOW) != 0;
    Qt::WindowFlags flags = (ownWindow ? Qt::Window : Qt::Dialog) | Qt::CustomizeWindowHint;
    if ((tmpl.style & WS_CAPTION) != 0) {
        flags |= Qt::WindowTitleHint;
    }
    if ((tmpl.style & WS_SYSMENU) != 0) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    widget->setWindowFlags(flags);
    QtControlFactory::applyText(dialog);

    // The template gives the client size and the outer top-left corner on the screen.
    const QtDialogUnits units(widget->font());
    const QRect client = units.toPixels(tmpl.x, tmpl.y, tmpl.cx, tmpl.cy);
    const QMargins frame = QtWindowSizer::frame(dialog);
    widget->setGeometry(QRect(client.topLeft() + QPoint(frame.left(), frame.top()),
                              client.size().expandedTo(QSize(1, 1))));
    dialog.sentSize = widget->size();
    if ((tmpl.style & WS_SYSMENU) != 0) {
        QtWindow* target = &dialog;
        dialog.systemMenu = std::make_unique<QtSystemMenu>(widget, [target](UINT id) {
            if (target->widget != nullptr) {
                target->send(WM_SYSCOMMAND, id, 0);
            }
        });
    }
    m_live.insert(&dialog);

    for (const ControlTemplate& control : tmpl.controls) {
        const QRect rect = units.toPixels(control.x, control.y, control.cx, control.cy);
        const HWND made = makeControl(dialog, control.kind, control.text,
                                      control.style | WS_CHILD | WS_VISIBLE, rect, control.id);
        if (control.kind == ControlKind::StaticBitmap && control.imageId != 0) {
            setStaticBitmap(made, Resources::bitmap(control.imageId));
        }
        if (dialog.defaultId == IDOK && control.kind == ControlKind::PushButton &&
            (control.style & BUTTON_TYPE_MASK) == BS_DEFPUSHBUTTON) {
            dialog.defaultId = control.id;
        }
    }
    QtWindowSizer::applyTrackLimits(dialog);
    return dialog.handle();
}

HWND QtBackend::createControl(HWND parent, ControlKind kind, const std::string& text, DWORD style,
                              const RECT& rect, int id) {
    QtWindow* dialog = find(parent);
    if (dialog == nullptr || !dialog->isDialog) {
        return nullptr;
    }
    return makeControl(
        *dialog, kind, text, style,
        QRect(rect.left, rect.top, std::max(0, int(rect.width())), std::max(0, int(rect.height()))),
        id);
}

HWND QtBackend::makeControl(QtWindow& dialog, ControlKind kind, const std::string& text,
                            DWORD style, const QRect& rect, int id) {
    QtWindow& control = *newRecord();
    control.kind = kind;
    control.id = id;
    control.style = style;
    control.text = text;
    control.parent = &dialog;
    control.isSizeGrip = kind == ControlKind::StaticBitmap && id == SIZE_GRIP_ID;
    dialog.controls.push_back(&control);
    QtControlFactory::build(control, rect);
    m_live.insert(&control);
    return control.handle();
}

void QtBackend::destroyWindow(HWND wnd) {
    QtWindow* window = find(wnd);
    if (window == nullptr) {
        return;
    }
    if (!window->isDialog) {
        std::vector<QtWindow*>& siblings = window->parent->controls;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
        retire(*window);
        return;
    }
    // Owned dialogs go with their owner, as on the original system.
    std::vector<QtWindow*> owned;
    for (const std::unique_ptr<QtWindow>& record : m_records) {
        if (record->owner == window && m_live.count(record.get()) != 0) {
            owned.push_back(record.get());
        }
    }
    for (QtWindow* dialog : owned) {
        destroyWindow(dialog->handle());
    }
    for (QtWindow* control : window->controls) {
        // The control widgets go with the dialog's widget.
        control->widget = nullptr;
        m_live.erase(control);
    }
    window->controls.clear();
    retire(*window);
}

void QtBackend::retire(QtWindow& window) {
    m_live.erase(&window);
    for (const std::unique_ptr<QtWindow>& record : m_records) {
        if (record->owner == &window) {
            record->owner = nullptr;
        }
    }
    if (window.modalLoop != nullptr) {
        window.modalLoop->quit();
    }
    window.dropSite.reset();
    window.systemMenu.reset();
    QWidget* widget = window.widget;
    window.widget = nullptr;
    if (widget == nullptr) {
        return;
    }
    if (auto* dialog = dynamic_cast<QtDialogWidget*>(widget)) {
        dialog->detach();
    } else if (auto* radio = dynamic_cast<QtRadioButton*>(widget)) {
        radio->onChecked = nullptr;
        radio->onArrow = nullptr;
    } else if (auto* grip = dynamic_cast<QtSizeGrip*>(widget)) {
        grip->beforeResize = nullptr;
    }
    widget->hide();
    // Code of this widget may be on the stack below the framework's handler: delete it later.
    if (QtWindow::dispatching()) {
        widget->deleteLater();
    } else {
        delete widget;
    }
}

bool QtBackend::isWindow(HWND wnd) const {
    return find(wnd) != nullptr;
}

HWND QtBackend::dialogItem(HWND dialog, int id) const {
    QtWindow* window = find(dialog);
    QtWindow* control = window != nullptr ? window->item(id) : nullptr;
    return control != nullptr ? control->handle() : nullptr;
}

HWND QtBackend::parentOf(HWND wnd) const {
    QtWindow* window = find(wnd);
    return window != nullptr && window->parent != nullptr ? window->parent->handle() : nullptr;
}

HWND QtBackend::nextControl(HWND control) const {
    QtWindow* window = find(control);
    if (window == nullptr || window->parent == nullptr) {
        return nullptr;
    }
    const std::vector<QtWindow*>& siblings = window->parent->controls;
    const auto at = std::find(siblings.begin(), siblings.end(), window);
    return at != siblings.end() && at + 1 != siblings.end() ? (*(at + 1))->handle() : nullptr;
}

ControlKind QtBackend::controlKind(HWND control) const {
    QtWindow* window = find(control);
    return window != nullptr ? window->kind : ControlKind::PushButton;
}

DWORD QtBackend::controlStyle(HWND control) const {
    QtWindow* window = find(control);
    return window != nullptr ? window->style : 0;
}

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

void QtBackend::moveWindow(HWND wnd, int x, int y, int cx, int cy, bool /*repaint*/) {
    // Qt repaints whatever a move uncovers; there is nothing to leave unpainted.
    if (QtWindow* window = find(wnd)) {
        QtWindowSizer::move(*window, x, y, cx, cy);
    }
}

void QtBackend::setZOrder(HWND wnd, HWND insertAfter) {
    QtWindow* window = find(wnd);
    if (window == nullptr || window->widget == nullptr) {
        return;
    }
    if (insertAfter == HWND_BOTTOM) {
        window->widget->lower();
    } else {
        window->widget->raise();
    }
}

void QtBackend::showWindow(HWND wnd, int cmd) {
    QtWindow* window = find(wnd);
    if (window == nullptr || window->widget == nullptr) {
        return;
    }
    QWidget* widget = window->widget;
    if (window->isDialog && cmd != SW_HIDE && window->owner != nullptr &&
        window->owner->widget != nullptr) {
        // Kept above its owner by the window manager, without being a Qt child of it.
        widget->winId();
        window->owner->widget->winId();
        widget->windowHandle()->setTransientParent(window->owner->widget->windowHandle());
    }
    switch (cmd) {
    case SW_HIDE:
        widget->hide();
        break;
    case SW_MINIMIZE:
        widget->showMinimized();
        break;
    case SW_RESTORE:
        if (widget->isMinimized()) {
            widget->showNormal();
            break;
        }
        [[fallthrough]];
    default:
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

int QtBackend::systemMetric(int index) const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    switch (index) {
    case SM_CXSCREEN:
        return screen != nullptr ? screen->geometry().width() : 0;
    case SM_CYSCREEN:
        return screen != nullptr ? screen->geometry().height() : 0;
    case SM_CXICON:
    case SM_CYICON:
        return ICON_SIZE;
    default:
        return 0;
    }
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

int QtBackend::checkState(HWND button) const {
    QtWindow* window = find(button);
    if (window == nullptr || window->kind != ControlKind::RadioButton ||
        window->widget == nullptr) {
        return 0;
    }
    return static_cast<QAbstractButton*>(window->widget.data())->isChecked() ? 1 : 0;
}

void QtBackend::setCheckState(HWND button, int state) {
    QtWindow* window = find(button);
    if (window == nullptr || window->kind != ControlKind::RadioButton ||
        window->widget == nullptr) {
        return;
    }
    // As on the original system, setting one button leaves the rest of its group alone.
    static_cast<QAbstractButton*>(window->widget.data())->setChecked(state == 1);
    QtControlFactory::updateGroupTabStop(*window);
}

// Drawing.

void QtBackend::setRedraw(HWND wnd, bool redraw) {
    QtWindow* window = find(wnd);
    if (window != nullptr && window->widget != nullptr) {
        window->widget->setUpdatesEnabled(redraw);
    }
}

void QtBackend::invalidate(HWND wnd, bool /*erase*/) {
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

void QtBackend::setIcon(HWND wnd, bool big, HICON icon) {
    QtWindow* window = find(wnd);
    if (window == nullptr) {
        return;
    }
    (big ? window->bigIcon : window->smallIcon) = icon;
    if (window->widget != nullptr) {
        window->widget->setWindowIcon(QtImages::toIcon(window->bigIcon, window->smallIcon));
    }
}

HICON QtBackend::windowIcon(HWND wnd, bool big) const {
    QtWindow* window = find(wnd);
    if (window == nullptr) {
        return nullptr;
    }
    return big ? window->bigIcon : window->smallIcon;
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
