#pragma once

#include "platform/win_types.h"

/// A menu handle; here only the system menu is used.
class CMenu {
public:
    HMENU m_hMenu = nullptr;

    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, const char* text = nullptr);
    /// Checks (MF_CHECKED) or unchecks (MF_UNCHECKED) the entry with command id; returns -1 when
    /// there is none, else 0.
    DWORD CheckMenuItem(UINT id, UINT check);
};
