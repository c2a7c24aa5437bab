#pragma once

#include "platform/win_types.h"

/// A menu handle; here only the system menu is used.
class CMenu {
public:
    HMENU m_hMenu = nullptr;

    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, const char* text = nullptr);
};
