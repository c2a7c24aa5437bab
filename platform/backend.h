#pragma once

#include <cstdint>
#include <string>

#include "platform/resources.h"
#include "platform/win_types.h"

class COleDropTarget;
class MessageQueue;

/// The window system underneath the framework classes. Two implementations exist: the headless
/// one that tests drive, and the Qt one of the desktop program. Coordinates are pixels; window
/// rectangles are in screen coordinates, while moveWindow places a child in its parent's client
/// area. A backend calls back into the framework only through SendMessage and the drop target.
class Backend {
public:
    virtual ~Backend() = default;

    // Windows and controls.
    /// Creates a hidden dialog window and its controls from tmpl, owned by owner (may be null).
    virtual HWND createDialog(const DialogTemplate& tmpl, HWND owner) = 0;
    /// Creates a hidden or visible (WS_VISIBLE in style) child control; rect in parent client
    /// pixels.
    virtual HWND createControl(HWND parent, ControlKind kind, const std::string& text, DWORD style,
                               const RECT& rect, int id) = 0;
    virtual void destroyWindow(HWND wnd) = 0;
    virtual bool isWindow(HWND wnd) const = 0;
    virtual HWND dialogItem(HWND dialog, int id) const = 0;
    /// The parent window of a child control; null for a top-level window.
    virtual HWND parentOf(HWND wnd) const = 0;
    /// The control created after this one in the same parent, or null.
    virtual HWND nextControl(HWND control) const = 0;
    virtual ControlKind controlKind(HWND control) const = 0;
    virtual DWORD controlStyle(HWND control) const = 0;

    // Geometry.
    virtual RECT windowRect(HWND wnd) const = 0;    ///< outer rectangle, screen coordinates
    virtual RECT clientRect(HWND wnd) const = 0;    ///< left and top are 0
    virtual POINT clientOrigin(HWND wnd) const = 0; ///< client area's top-left, screen coordinates
    /// Moves and sizes wnd (a child in its parent's client coordinates, a top-level window on
    /// the screen); a change of size sends WM_SIZE before this returns.
    virtual void moveWindow(HWND wnd, int x, int y, int cx, int cy, bool repaint) = 0;
    /// Puts wnd at the bottom (HWND_BOTTOM) or top (HWND_TOP) of its siblings.
    virtual void setZOrder(HWND wnd, HWND insertAfter) = 0;
    virtual void showWindow(HWND wnd, int cmd) = 0;
    virtual bool isVisible(HWND wnd) const = 0;
    virtual bool isIconic(HWND wnd) const = 0;
    virtual void enableWindow(HWND wnd, bool enable) = 0;
    virtual bool isEnabled(HWND wnd) const = 0;
    virtual int systemMetric(int index) const = 0;

    // Text and state.
    virtual void setWindowText(HWND wnd, const std::string& text) = 0;
    virtual std::string windowText(HWND wnd) const = 0;
    virtual int checkState(HWND button) const = 0;
    virtual void setCheckState(HWND button, int state) = 0;

    // Drawing.
    virtual void setRedraw(HWND wnd, bool redraw) = 0;
    virtual void invalidate(HWND wnd, bool erase) = 0;
    virtual HDC beginPaint(HWND wnd) = 0;
    virtual void endPaint(HWND wnd, HDC dc) = 0;
    virtual void drawIcon(HDC dc, int x, int y, HICON icon) = 0;
    virtual void setIcon(HWND wnd, bool big, HICON icon) = 0;
    virtual HICON windowIcon(HWND wnd, bool big) const = 0;
    /// Shows bitmap in a static control, which takes the bitmap's size, keeping its top-left.
    virtual void setStaticBitmap(HWND control, HBITMAP bitmap) = 0;

    // Report list view.
    virtual void listInsertColumn(HWND list, int position, const std::string& heading, int format,
                                  int width) = 0;
    /// Inserts a row before position; returns its index, or -1.
    virtual int listInsertItem(HWND list, int position, const std::string& text, int image) = 0;
    virtual bool listSetItemText(HWND list, int item, int subItem, const std::string& text) = 0;
    virtual void listDeleteAllItems(HWND list) = 0;
    virtual int listItemCount(HWND list) const = 0;
    virtual std::string listItemText(HWND list, int item, int subItem) const = 0;
    virtual int listItemImage(HWND list, int item) const = 0;
    virtual void listSetImageList(HWND list, HIMAGELIST images, int which) = 0;

    // Progress bars.
    /// Shows that position of range parts of some work are done (0 <= position <= range); a
    /// range of 0 shows work whose length is not known.
    virtual void setProgress(HWND bar, int position, int range) = 0;

    // System menu.
    virtual HMENU systemMenu(HWND wnd) = 0;
    virtual bool appendMenu(HMENU menu, UINT flags, UINT_PTR id, const std::string& text) = 0;

    // Modal runs and long work.
    /// Runs dialog's modal loop until endModal; returns the value given to endModal.
    virtual int runModal(HWND dialog) = 0;
    virtual void endModal(HWND dialog, int result) = 0;
    /// Long work runs inside a handler of dialog until endWork. A busy cursor shows, and the only
    /// input the dialog takes meanwhile is a press of control stopId, Escape (IDCANCEL) and its
    /// close box (SC_CLOSE); every other key, click or command is dropped, not kept for later.
    /// Moving, resizing and minimising the window stay the window manager's.
    virtual void beginWork(HWND dialog, int stopId) = 0;
    virtual void endWork(HWND dialog) = 0;
    /// During long work: serves what is waiting for the program now (repaints, new rows, the
    /// window manager, assistive technology, the input beginWork lets through), then returns.
    virtual void serveEvents(HWND dialog) = 0;
    /// Milliseconds on a clock that only moves forward.
    virtual std::uint64_t tickCount() = 0;
    /// The messages posted to windows, waiting for the event loop.
    virtual MessageQueue& messageQueue() = 0;

    // Services.
    /// Replaces the clipboard's content with bytes as plain text; false when it cannot be opened.
    virtual bool setClipboardText(HWND owner, const std::string& bytes) = 0;
    /// Asks the user for a file to save to, confirming an overwrite; false when cancelled.
    virtual bool saveFileDialog(HWND owner, DWORD flags, std::string& path) = 0;
    virtual int messageBox(HWND owner, const std::string& text, const std::string& caption,
                           UINT type) = 0;
    virtual bool registerDropTarget(HWND wnd, COleDropTarget* target) = 0;
    virtual void revokeDropTarget(HWND wnd) = 0;
};

/// The backend in use; one must be installed before any window is made.
Backend& backend();
/// Installs backend (not owned); null uninstalls.
void setBackend(Backend* backend);
