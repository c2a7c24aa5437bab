#include "platform/qt/qt_drop_site.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QMetaObject>

#include "platform/qt/qt_mime_reader.h"
#include "platform/qt/qt_window.h"
#include "platform/wnd.h"

namespace {
// Key-state bits of a drag: what COleDropTarget's handlers receive as keyState.
constexpr DWORD MK_LBUTTON = 0x01;
constexpr DWORD MK_RBUTTON = 0x02;
constexpr DWORD MK_SHIFT = 0x04;
constexpr DWORD MK_CONTROL = 0x08;
constexpr DWORD MK_MBUTTON = 0x10;
constexpr DWORD MK_ALT = 0x20;

POINT pointOf(const QDropEvent* event) {
    const QPoint at = event->position().toPoint();
    return POINT{at.x(), at.y()};
}
} // namespace

QtDropSite::QtDropSite(HWND window, COleDropTarget* target)
    : m_window(window), m_target(target), m_alive(std::make_shared<bool>(true)) {}

QtDropSite::~QtDropSite() {
    *m_alive = false;
}

DWORD QtDropSite::keyState(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    DWORD state = 0;
    state |= (buttons & Qt::LeftButton) ? MK_LBUTTON : 0;
    state |= (buttons & Qt::RightButton) ? MK_RBUTTON : 0;
    state |= (buttons & Qt::MiddleButton) ? MK_MBUTTON : 0;
    state |= (modifiers & Qt::ShiftModifier) ? MK_SHIFT : 0;
    state |= (modifiers & Qt::ControlModifier) ? MK_CONTROL : 0;
    state |= (modifiers & Qt::AltModifier) ? MK_ALT : 0;
    return state;
}

void QtDropSite::enter(QDragEnterEvent* event, bool accepting) {
    if (!accepting || m_delivering) {
        event->ignore();
        return;
    }
    m_dragged = QtMimeReader::read(event->mimeData());
    m_dragging = true;
    if (ask(event, true) == DROPEFFECT_NONE) {
        m_dragging = false;
    }
}

void QtDropSite::move(QDragMoveEvent* event, bool accepting) {
    if (!m_dragging || !accepting || m_delivering) {
        event->ignore();
        return;
    }
    ask(event, false);
}

void QtDropSite::leave() {
    if (!m_dragging) {
        return;
    }
    m_dragging = false;
    m_dragged = COleDataObject();
    QtWindow::Dispatch dispatch;
    m_target->OnDragLeave(CWnd::FromHandlePermanent(m_window));
}

void QtDropSite::drop(QDropEvent* event, bool accepting) {
    if (!m_dragging || !accepting || m_delivering || !(event->possibleActions() & Qt::CopyAction)) {
        event->ignore();
        leave();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    m_drops.push_back(Drop{std::move(m_dragged), pointOf(event)});
    m_dragged = COleDataObject();
    m_dragging = false;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [this, alive = m_alive] {
            if (*alive) {
                deliver();
            }
        },
        Qt::QueuedConnection);
}

DROPEFFECT QtDropSite::ask(QDragMoveEvent* event, bool entering) {
    const DWORD keys = keyState(event->buttons(), event->modifiers());
    const POINT point = pointOf(event);
    CWnd* window = CWnd::FromHandlePermanent(m_window);
    DROPEFFECT effect;
    {
        QtWindow::Dispatch dispatch;
        effect = entering ? m_target->OnDragEnter(window, &m_dragged, keys, point)
                          : m_target->OnDragOver(window, &m_dragged, keys, point);
    }
    // Only copying is offered: the window never takes the source's files away.
    if ((effect & DROPEFFECT_COPY) != 0 && (event->possibleActions() & Qt::CopyAction)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
        return DROPEFFECT_COPY;
    }
    event->ignore();
    return DROPEFFECT_NONE;
}

void QtDropSite::deliver() {
    if (m_delivering) {
        return;
    }
    m_delivering = true;
    const std::shared_ptr<bool> alive = m_alive;
    while (*alive && !m_drops.empty()) {
        Drop next = std::move(m_drops.front());
        m_drops.pop_front();
        QtWindow::Dispatch dispatch;
        m_target->OnDrop(CWnd::FromHandlePermanent(m_window), &next.data, DROPEFFECT_COPY,
                         next.point);
    }
    if (*alive) {
        m_delivering = false;
    }
}
