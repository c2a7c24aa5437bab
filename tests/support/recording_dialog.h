#pragma once

// A dialog for tests on any backend: it records every message it receives and can answer the
// tracking limits and paint an icon the way the program's dialogs do.

#include <functional>
#include <optional>
#include <vector>

#include "platform/dialog.h"

/// One message as it reached a window procedure.
struct Message {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

/// A dialog that records every message it receives before the framework handles it, and can
/// answer WM_GETMINMAXINFO and WM_PAINT the way the program's dialogs do. It works on whichever
/// backend is installed: run modally from a template ID, or attached to a window a test made.
class RecordingDialog : public CDialog {
public:
    explicit RecordingDialog(UINT templateId = 0, CWnd* parent = nullptr)
        : CDialog(templateId, parent) {}

    std::vector<Message> messages;
    std::optional<POINT> minTrack; ///< outer minimum to answer WM_GETMINMAXINFO with
    std::optional<POINT> maxTrack; ///< outer maximum to answer WM_GETMINMAXINFO with
    /// Runs for each message before the framework's handling.
    std::function<void(const Message&)> onMessage;
    /// Drawn with CPaintDC at (iconX, iconY) on WM_PAINT, when set.
    HICON paintIcon = nullptr;
    int iconX = 0;
    int iconY = 0;

    /// How many of the recorded messages are message.
    int count(UINT message) const;
    /// The recorded messages that are message, oldest first.
    std::vector<Message> of(UINT message) const;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};
