#pragma once

#include "platform/win_types.h"

/// The event loop: modal runs, long work that keeps the window alive, and the messages that
/// wait for the loop.
class WorkLoop {
public:
    virtual ~WorkLoop() = default;

    /// Runs dialog's modal loop until endModal; returns the value given to endModal.
    virtual int runModal(HWND dialog) = 0;
    /// Ends dialog's modal loop with result, also before the loop has started.
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
    /// Whether long work on another thread is served in step with it: true, the window's thread
    /// serves only at the points where the work stops to let it, so that what happens at each
    /// point is the same from run to run (for tests); false, it serves on its own time while
    /// the work goes on.
    virtual bool servesInStep() const { return false; }
    /// Queues message for wnd and returns at once: how a window hands itself work that should
    /// start only once it is on the screen and its modal loop runs. The loop sends it to wnd, as
    /// SendMessage would, after the messages queued before it; it is dropped if wnd is gone by
    /// then. False when wnd is not a window.
    virtual bool postMessage(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) = 0;
};
