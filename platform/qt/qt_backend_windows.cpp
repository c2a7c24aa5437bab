// The Qt backend's windows and controls: dialogs made from templates, controls, their
// destruction and lookup.

#include "platform/qt/qt_backend.h"

#include <QEventLoop>
#include <algorithm>

#include "platform/qt/qt_control_factory.h"
#include "platform/qt/qt_dialog_units.h"
#include "platform/qt/qt_dialog_widget.h"
#include "platform/qt/qt_drop_site.h"
#include "platform/qt/qt_radio_button.h"
#include "platform/qt/qt_size_grip.h"
#include "platform/qt/qt_system_menu.h"
#include "platform/qt/qt_window.h"
#include "platform/qt/qt_window_sizer.h"

namespace {

constexpr DWORD BUTTON_TYPE_MASK = 0xF;
constexpr int SIZE_GRIP_ID = 0xFFFF; // the control ID a resizable dialog gives its size grip

} // namespace

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
            // An entry's keys reach it also while the window takes no input: ignored then.
            if (target->widget != nullptr && target->enabled && target->busy == 0) {
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
    QtControlFactory::linkLabels(dialog);
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
    // Owned dialogs go with their owner: none outlives the window it belongs to.
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
