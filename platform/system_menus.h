#pragma once

#include <string>

#include "platform/win_types.h"

/// What an entry of a menu is.
enum class MenuEntryKind {
    Command,   ///< a text that, when chosen, sends WM_SYSCOMMAND with the entry's ID
    Separator, ///< a line between groups; it has no ID or text
};

/// The system menu of a dialog with WS_SYSMENU, which the program extends with its own entries.
class SystemMenus {
public:
    virtual ~SystemMenus() = default;

    /// The system menu of wnd, or null when it has none.
    virtual HMENU systemMenu(HWND wnd) = 0;
    /// Appends an entry; false for a menu that is not (or no longer) a live window's. A command's
    /// text may end in a tab and its key ("Add Files...\tCtrl+O", "Next Problem\tShift+F8"):
    /// that key, pressed anywhere in the window while it takes input, chooses the entry too.
    virtual bool appendMenu(HMENU menu, MenuEntryKind kind, UINT_PTR id,
                            const std::string& text) = 0;
    /// Shows or hides the check mark of the command entry id; false when there is none.
    virtual bool checkMenuEntry(HMENU menu, UINT_PTR id, bool checked) = 0;
};
