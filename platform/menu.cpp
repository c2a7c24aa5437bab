#include "platform/menu.h"

#include "platform/backend.h"

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, const char* text) {
    const MenuEntryKind kind =
        (flags & MF_SEPARATOR) != 0 ? MenuEntryKind::Separator : MenuEntryKind::Command;
    return m_hMenu && backend().menus().appendMenu(m_hMenu, kind, id, text ? text : "");
}

DWORD CMenu::CheckMenuItem(UINT id, UINT check) {
    const bool found =
        m_hMenu && backend().menus().checkMenuEntry(m_hMenu, id, (check & MF_CHECKED) != 0);
    return found ? 0 : DWORD(-1);
}
