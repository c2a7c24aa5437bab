#include "platform/headless/headless_system_menus.h"

#include "platform/headless/headless_desktop.h"

HMENU HeadlessSystemMenus::systemMenu(HWND wnd) {
    const HeadlessWindow* window = m_desktop.find(wnd);
    if (window == nullptr || window->systemMenu == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<HMENU>(window->systemMenu.get());
}

bool HeadlessSystemMenus::appendMenu(HMENU menu, MenuEntryKind kind, UINT_PTR id,
                                     const std::string& text) {
    // Only menus of live windows are accepted; a stale handle is never dereferenced.
    for (const HWND wnd : m_desktop.topLevelWindows()) {
        HeadlessMenu* candidate = m_desktop.find(wnd)->systemMenu.get();
        if (candidate != nullptr && reinterpret_cast<HMENU>(candidate) == menu) {
            if (kind == MenuEntryKind::Separator) {
                candidate->entries.push_back(MenuEntry{MenuEntryKind::Separator, 0, ""});
            } else {
                candidate->entries.push_back(MenuEntry{MenuEntryKind::Command, id, text});
            }
            return true;
        }
    }
    return false;
}

std::vector<MenuEntry> HeadlessSystemMenus::systemMenuEntries(HWND wnd) const {
    const HeadlessWindow* window = m_desktop.find(wnd);
    if (window == nullptr || window->systemMenu == nullptr) {
        return {};
    }
    return window->systemMenu->entries;
}
