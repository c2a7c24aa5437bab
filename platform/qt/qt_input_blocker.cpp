#include "platform/qt/qt_input_blocker.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QWidget>

#include "platform/qt/qt_dialog_widget.h"
#include "platform/qt/qt_window.h"

namespace {

bool isUserInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
        return true;
    default:
        return false;
    }
}

// The visible dialog that blocked is waiting for, if any.
QWidget* modalChildOf(const QtWindow* blocked) {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        const auto* dialog = dynamic_cast<QtDialogWidget*>(top);
        if (dialog != nullptr && dialog->isVisible() && dialog->record() != nullptr &&
            dialog->record()->owner == blocked && dialog->record()->enabled) {
            return top;
        }
    }
    return nullptr;
}

// What long work in dialog still takes: the stop control's own clicks and mnemonic, and Escape,
// which the dialog turns into IDCANCEL.
bool takenDuringWork(const QtWindow& dialog, const QWidget* receiver, const QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Shortcut: {
        const QtWindow* stop = dialog.item(dialog.stopId);
        return stop != nullptr && stop->widget != nullptr &&
               (receiver == stop->widget || stop->widget->isAncestorOf(receiver));
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return static_cast<const QKeyEvent*>(event)->key() == Qt::Key_Escape;
    default:
        return false;
    }
}

// The framework dialog a widget belongs to, or null. A popup (a drop-down list's list, say) is a
// window of its own and belongs to the dialog of the widget it drops from.
const QtDialogWidget* dialogOf(const QWidget* widget) {
    const QWidget* top = widget->window();
    while (top->windowType() == Qt::Popup && top->parentWidget() != nullptr) {
        top = top->parentWidget()->window();
    }
    return dynamic_cast<const QtDialogWidget*>(top);
}

} // namespace

QtInputBlocker::QtInputBlocker(QObject* parent) : QObject(parent) {}

bool QtInputBlocker::eventFilter(QObject* watched, QEvent* event) {
    if (!isUserInput(event->type())) {
        return false;
    }
    // A shortcut of a window (QShortcut, the dialog's Paste) is an object of its own: it counts
    // as input to the widget it belongs to.
    QObject* target = watched;
    if (event->type() == QEvent::Shortcut && !target->isWidgetType()) {
        target = target->parent();
    }
    if (target == nullptr || !target->isWidgetType()) {
        return false;
    }
    const auto* receiver = static_cast<QWidget*>(target);
    const QtDialogWidget* dialog = dialogOf(receiver);
    if (dialog == nullptr || dialog->record() == nullptr) {
        return false;
    }
    if (dialog->record()->enabled) {
        return dialog->record()->busy > 0 && !takenDuringWork(*dialog->record(), receiver, event);
    }
    if (event->type() == QEvent::MouseButtonPress) {
        if (QWidget* modal = modalChildOf(dialog->record())) {
            modal->raise();
            modal->activateWindow();
        }
    }
    return true;
}
