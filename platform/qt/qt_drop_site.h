#pragma once

#include <Qt>
#include <deque>
#include <memory>

#include "platform/ole_drop_target.h"
#include "platform/win_types.h"

class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;

/// A dialog's registered drop target, fed from the dialog's drag-and-drop events.
///
/// The drop target decides the effect while something is dragged over the window. A drop is
/// accepted at once and handed to the target's OnDrop from the event loop right after: the drag
/// source is released before the work starts, and that work (which may run for minutes and
/// lets the window repaint meanwhile) never runs inside the window system's drop dispatch.
/// While a drop is being handled, or the window takes no input, drags are refused.
class QtDropSite {
public:
    QtDropSite(HWND window, COleDropTarget* target);
    ~QtDropSite();
    QtDropSite(const QtDropSite&) = delete;
    QtDropSite& operator=(const QtDropSite&) = delete;

    COleDropTarget* target() const { return m_target; }
    /// True while the target's OnDrop runs.
    bool delivering() const { return m_delivering; }

    /// accepting: the window takes input now.
    void enter(QDragEnterEvent* event, bool accepting);
    void move(QDragMoveEvent* event, bool accepting);
    void leave();
    void drop(QDropEvent* event, bool accepting);

    /// The MK_* key state of a drag: mouse buttons and modifier keys.
    static DWORD keyState(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

private:
    struct Drop {
        COleDataObject data;
        POINT point;
    };

    DROPEFFECT ask(QDragMoveEvent* event, bool entering);
    void deliver();

    HWND m_window;
    COleDropTarget* m_target;
    COleDataObject m_dragged; ///< what the drag in progress carries, read once at its start
    bool m_dragging = false;
    std::deque<Drop> m_drops; ///< accepted drops not yet handed to the target
    bool m_delivering = false;
    std::shared_ptr<bool> m_alive; ///< lets queued and running deliveries see that this went
};
