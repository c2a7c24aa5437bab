#pragma once

#include "platform/win_types.h"

/// Messages that wait for the window system's event loop: how a window hands itself work that
/// should start only once it is on the screen and its modal loop runs.
class MessageQueue {
public:
    virtual ~MessageQueue() = default;

    /// Queues message for wnd and returns at once. The event loop sends it to wnd, as SendMessage
    /// would, after the messages queued before it; it is dropped if wnd is gone by then. False
    /// when wnd is not a window.
    virtual bool postMessage(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) = 0;
};
