#pragma once

#include <QMargins>
#include <QSize>

#include "platform/win_types.h"

struct QtWindow;

/// Geometry of the framework's windows on Qt: outer and client rectangles, moves, the size
/// messages and the tracking limits.
///
/// A window's outer rectangle is Qt's frame geometry, its client rectangle Qt's geometry. Frame
/// margins are known only once a window has been shown; before that the margins last seen on
/// any window stand in, so that outer sizes computed for a hidden window (centring it, fitting
/// it to its layout) come out as they will be when it shows.
///
/// Every change of a window's client size is reported once with WM_SIZE, whether Qt resized it
/// (the user, the window manager) or moveWindow did. After a dialog's size message has been
/// handled, the dialog is asked WM_GETMINMAXINFO and its answer becomes the window's minimum
/// and maximum size, which the window manager then enforces while the user drags the frame.
class QtWindowSizer {
public:
    /// The frame around a top-level window's client area; none for a control.
    static QMargins frame(const QtWindow& window);
    static RECT windowRect(const QtWindow& window);
    static POINT clientOrigin(const QtWindow& window);

    /// Moves window (outer rectangle: screen coordinates for a dialog, parent client ones for a
    /// control). A change of size is reported before this returns. The program's own moves are
    /// not held to the tracking limits; only the user's dragging of the frame is.
    static void move(QtWindow& window, int x, int y, int cx, int cy);
    /// Resizes a control, keeping its top-left corner.
    static void resize(QtWindow& control, QSize size);
    /// Reports the current client size with WM_SIZE when it differs from the last one reported;
    /// for a dialog then updates the tracking limits. Qt's resize events come here.
    static void reportSize(QtWindow& window);
    /// Reports a dialog's minimising (WM_SIZE SIZE_MINIMIZED, 0, 0) and restoring.
    static void stateChanged(QtWindow& window, Qt::WindowStates before);
    /// Asks a dialog WM_GETMINMAXINFO, pre-filled with the system's values, and applies the
    /// answer as the window's minimum and maximum client size. A maximum left at the system's
    /// value means no maximum. A dialog without a sizing frame keeps its current size.
    static void applyTrackLimits(QtWindow& window);

private:
    static void liftLimits(QtWindow& window, QSize client);
};
