#include "platform/qt/qt_dialog_widget.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QShortcut>

#include "platform/qt/qt_drop_site.h"
#include "platform/qt/qt_system_menu.h"
#include "platform/qt/qt_window.h"
#include "platform/qt/qt_window_sizer.h"

QtDialogWidget::QtDialogWidget(QtWindow* window) : m_window(window) {
    // Paste is a shortcut of the whole window, so that it reaches the dialog from any control
    // that has the focus (a drop-down list would take the key press as a search). A control that
    // edits text claims the keys for itself first (ShortcutOverride), and keeps them.
    auto* paste = new QShortcut(QKeySequence::Paste, this);
    connect(paste, &QShortcut::activated, this, [this] {
        if (m_window != nullptr) {
            m_window->send(WM_PASTE);
        }
    });
}

bool QtDialogWidget::takesInput() const {
    return m_window != nullptr && m_window->enabled && m_window->busy == 0;
}

void QtDialogWidget::showSystemMenu(const QPoint& at) {
    if (m_window != nullptr && m_window->systemMenu != nullptr && takesInput()) {
        m_window->systemMenu->popup(at);
    }
}

void QtDialogWidget::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (m_window != nullptr) {
        QtWindowSizer::reportSize(*m_window);
    }
}

void QtDialogWidget::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (m_window != nullptr && event->type() == QEvent::WindowStateChange) {
        QtWindowSizer::stateChanged(*m_window,
                                    static_cast<QWindowStateChangeEvent*>(event)->oldState());
    }
}

void QtDialogWidget::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_window != nullptr) {
        m_window->everShown = true;
    }
}

void QtDialogWidget::closeEvent(QCloseEvent* event) {
    // The framework decides: the close box is the system command SC_CLOSE, whose default
    // handling cancels the dialog, which then hides itself through endModal.
    // Long work does not keep the close box from the framework: it stops the work, then closes.
    event->ignore();
    if (m_window != nullptr && m_window->enabled && (m_window->style & WS_SYSMENU) != 0) {
        m_window->send(WM_SYSCOMMAND, SC_CLOSE, 0);
    }
}

void QtDialogWidget::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool escape = modifiers == Qt::NoModifier && event->key() == Qt::Key_Escape;
    if (m_window != nullptr && m_window->enabled && m_window->busy > 0 && escape) {
        pressButton(IDCANCEL); // during long work, Escape asks the framework to stop it
        return;
    }
    if (m_window == nullptr || !takesInput()) {
        event->ignore();
        return;
    }
    if (escape) {
        pressButton(IDCANCEL);
        return;
    }
    if (modifiers == Qt::NoModifier &&
        (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        // A focused push button takes Enter itself; otherwise the default button does.
        int target = m_window->defaultId;
        for (QtWindow* control : m_window->controls) {
            if (control->kind == ControlKind::PushButton && control->widget != nullptr &&
                control->widget->hasFocus()) {
                target = control->id;
                break;
            }
        }
        pressButton(target);
        return;
    }
    if (modifiers == Qt::ShiftModifier && event->key() == Qt::Key_F10) {
        showSystemMenu(keyboardMenuPosition());
        return;
    }
    if (event->key() == Qt::Key_Menu) {
        event->accept(); // the window system follows the key with a context-menu event
        return;
    }
    QDialog::keyPressEvent(event);
}

void QtDialogWidget::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() == QContextMenuEvent::Mouse) {
        // Only the window's background: a right click on a control is the control's own.
        if (childAt(event->pos()) != nullptr) {
            event->ignore();
            return;
        }
        showSystemMenu(event->globalPos());
    } else {
        showSystemMenu(keyboardMenuPosition());
    }
    event->accept();
}

void QtDialogWidget::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    if (m_window != nullptr) {
        m_window->inPaint = true;
        m_window->send(WM_PAINT);
        m_window->inPaint = false;
    }
}

void QtDialogWidget::dragEnterEvent(QDragEnterEvent* event) {
    if (m_window == nullptr || m_window->dropSite == nullptr) {
        event->ignore();
        return;
    }
    m_window->dropSite->enter(event, takesInput());
}

void QtDialogWidget::dragMoveEvent(QDragMoveEvent* event) {
    if (m_window == nullptr || m_window->dropSite == nullptr) {
        event->ignore();
        return;
    }
    m_window->dropSite->move(event, takesInput());
}

void QtDialogWidget::dragLeaveEvent(QDragLeaveEvent* event) {
    event->accept();
    if (m_window != nullptr && m_window->dropSite != nullptr) {
        m_window->dropSite->leave();
    }
}

void QtDialogWidget::dropEvent(QDropEvent* event) {
    if (m_window == nullptr || m_window->dropSite == nullptr) {
        event->ignore();
        return;
    }
    m_window->dropSite->drop(event, takesInput());
}

void QtDialogWidget::pressButton(int id) {
    QtWindow* control = m_window->item(id);
    if (control != nullptr && control->widget != nullptr && !control->widget->isEnabled()) {
        return;
    }
    const LPARAM handle = control != nullptr ? reinterpret_cast<LPARAM>(control->handle()) : 0;
    m_window->send(WM_COMMAND, MAKEWPARAM(UINT(id), BN_CLICKED), handle);
}

QPoint QtDialogWidget::keyboardMenuPosition() const {
    const QWidget* focus = focusWidget();
    if (focus != nullptr && focus != this) {
        return focus->mapToGlobal(focus->rect().center());
    }
    return mapToGlobal(QPoint(0, 0));
}
