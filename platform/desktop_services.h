#pragma once

#include <string>

#include "platform/win_types.h"

class COleDropTarget;

/// Whether the save dialog asks before the user picks a file that exists.
enum class OverwritePrompt { Ask, DontAsk };

/// The icon a message box shows beside its text; every message box has just an OK button.
enum class MessageBoxKind { Plain, Information, Question, Warning, Error };

/// What the desktop offers the program besides its windows: the clipboard, the save dialog, the
/// message box, and the delivery of drag and drop.
class DesktopServices {
public:
    virtual ~DesktopServices() = default;

    /// Replaces the clipboard's content with bytes as plain text; false when it cannot be opened
    /// (its content then stays).
    virtual bool setClipboardText(HWND owner, const std::string& bytes) = 0;
    /// The clipboard's plain text, byte for byte; false when it holds none or cannot be opened.
    virtual bool clipboardText(std::string& text) = 0;
    /// Asks the user for a file to save to; false when cancelled.
    virtual bool saveFileDialog(HWND owner, OverwritePrompt prompt, std::string& path) = 0;
    /// Shows text until the user dismisses it.
    virtual void messageBox(HWND owner, const std::string& text, const std::string& caption,
                            MessageBoxKind kind) = 0;
    /// Delivers drags over wnd to target; false when wnd is no window or already has one.
    virtual bool registerDropTarget(HWND wnd, COleDropTarget* target) = 0;
    virtual void revokeDropTarget(HWND wnd) = 0;
};
