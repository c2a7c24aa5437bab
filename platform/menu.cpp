#include "platform/menu.h"

#include "platform/backend.h"

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, const char* text) {
    return m_hMenu && backend().appendMenu(m_hMenu, flags, id, text ? text : "");
}
