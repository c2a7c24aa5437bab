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
    /// Appends an entry; false for a menu that is not (or no longer) a live window's.
    virtual bool appendMenu(HMENU menu, MenuEntryKind kind, UINT_PTR id,
                            const std::string& text) = 0;
};
