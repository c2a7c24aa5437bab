#include "platform/headless/headless_system_menus.h"

#include "platform/headless/headless_desktop.h"

HMENU HeadlessSystemMenus::systemMenu(HWND wnd) {
    const HeadlessWindow* window = m_desktop.find(wnd);
    if (window == nullptr || window->systemMenu == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<HMENU>(window->systemMenu.get());
}

HeadlessMenu* HeadlessSystemMenus::liveMenu(HMENU menu) const {
    // Only menus of live windows are accepted; a stale handle is never dereferenced.
    for (const HWND wnd : m_desktop.topLevelWindows()) {
        HeadlessMenu* candidate = m_desktop.find(wnd)->systemMenu.get();
        if (candidate != nullptr && reinterpret_cast<HMENU>(candidate) == menu) {
            return candidate;
        }
    }
    return nullptr;
}

bool HeadlessSystemMenus::appendMenu(HMENU menu, MenuEntryKind kind, UINT_PTR id,
                                     const std::string& text) {
    HeadlessMenu* live = liveMenu(menu);
    if (live == nullptr) {
        return false;
    }
    if (kind == MenuEntryKind::Separator) {
        live->entries.push_back(MenuEntry{MenuEntryKind::Separator, 0, ""});
    } else {
        live->entries.push_back(MenuEntry{MenuEntryKind::Command, id, text});
    }
    return true;
}

bool HeadlessSystemMenus::checkMenuEntry(HMENU menu, UINT_PTR id, bool checked) {
    if (HeadlessMenu* live = liveMenu(menu)) {
        for (MenuEntry& entry : live->entries) {
            if (entry.kind == MenuEntryKind::Command && entry.id == id) {
                entry.checked = checked;
                return true;
            }
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
