#pragma once

// What the headless backend records for tests to look at, besides the windows themselves.

#include <string>

#include "platform/desktop_services.h"
#include "platform/win_types.h"

/// A message the backend sent to a window, in the order sent.
struct SentMessage {
    HWND wnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

/// An icon drawn between beginPaint and endPaint; x and y in the window's client area.
struct PaintedIcon {
    HWND wnd = nullptr;
    int x = 0;
    int y = 0;
    HICON icon = nullptr;
};

/// One showing of the save dialog and how it was answered.
struct SaveDialogRecord {
    HWND owner = nullptr;
    OverwritePrompt prompt = OverwritePrompt::Ask;
    bool chosen = false; ///< false: cancelled
    std::string path;    ///< the path handed back when chosen
    SaveChoices offered; ///< the name and kinds of file offered; chosenType as answered
};

/// One message box.
struct MessageBoxRecord {
    HWND owner = nullptr;
    std::string text;
    std::string caption;
    MessageBoxKind kind = MessageBoxKind::Plain;
};

/// One drag that reached a window (not ignored as input): what the drop target answered.
struct DropRecord {
    HWND wnd = nullptr;          ///< the window the user dropped on
    HWND targetWindow = nullptr; ///< the window whose drop target took the drag; null if none
    DROPEFFECT enterEffect = DROPEFFECT_NONE;
    DROPEFFECT overEffect = DROPEFFECT_NONE;
    bool dropped = false;    ///< OnDrop ran (the target offered an effect)
    BOOL dropResult = FALSE; ///< what OnDrop returned
};
