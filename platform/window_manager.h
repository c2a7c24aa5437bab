#pragma once

#include "platform/resources.h"
#include "platform/win_types.h"

/// How showWindow changes a window.
enum class ShowCommand {
    Hide,
    Show,     ///< shows it as it is (a minimised window stays minimised)
    Minimize, ///< a top-level window only
    Restore,  ///< a minimised window comes back at its place and size; others are shown
};

/// Where setZOrder puts a window among its siblings.
enum class ZOrder { Top, Bottom };

/// Top-level windows and the geometry of every window. Coordinates are pixels: a window's
/// outer rectangle is in screen coordinates, its client rectangle starts at (0, 0), and
/// moveWindow places a child in its parent's client area.
class WindowManager {
public:
    virtual ~WindowManager() = default;

    /// Creates a hidden dialog window and its controls from tmpl, owned by owner (may be null).
    virtual HWND createDialog(const DialogTemplate& tmpl, HWND owner) = 0;
    /// Destroys wnd with its controls and the dialogs it owns.
    virtual void destroyWindow(HWND wnd) = 0;
    /// False for null, foreign and destroyed handles.
    virtual bool isWindow(HWND wnd) const = 0;
    /// The primary screen's size in pixels.
    virtual SIZE screenSize() const = 0;

    virtual RECT windowRect(HWND wnd) const = 0;    ///< outer rectangle, screen coordinates
    virtual RECT clientRect(HWND wnd) const = 0;    ///< left and top are 0
    virtual POINT clientOrigin(HWND wnd) const = 0; ///< client area's top-left, on the screen
    /// Moves and sizes wnd (a child in its parent's client coordinates, a top-level window on
    /// the screen); a change of size sends WM_SIZE before this returns.
    virtual void moveWindow(HWND wnd, int x, int y, int cx, int cy) = 0;
    virtual void setZOrder(HWND wnd, ZOrder where) = 0;

    virtual void showWindow(HWND wnd, ShowCommand command) = 0;
    /// True when wnd and every window it sits in are shown.
    virtual bool isVisible(HWND wnd) const = 0;
    virtual bool isIconic(HWND wnd) const = 0; ///< a minimised top-level window
    /// A disabled window takes no input; a disabled dialog keeps its look (an owned modal dialog
    /// runs over it).
    virtual void enableWindow(HWND wnd, bool enable) = 0;
    virtual bool isEnabled(HWND wnd) const = 0;
};
