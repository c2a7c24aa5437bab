#pragma once

#include <vector>

#include "platform/headless/headless_window.h"
#include "platform/system_menus.h"

class HeadlessDesktop;

/// The headless system menus: a dialog with WS_SYSMENU starts with "&Move", "&Size" (with a
/// sizing frame), a separator and "&Close".
class HeadlessSystemMenus : public SystemMenus {
public:
    explicit HeadlessSystemMenus(HeadlessDesktop& desktop) : m_desktop(desktop) {}

    HMENU systemMenu(HWND wnd) override;
    bool appendMenu(HMENU menu, MenuEntryKind kind, UINT_PTR id, const std::string& text) override;
    bool checkMenuEntry(HMENU menu, UINT_PTR id, bool checked) override;

    /// The entries of wnd's system menu; empty when it has none.
    std::vector<MenuEntry> systemMenuEntries(HWND wnd) const;

private:
    /// The menu behind handle menu, when it is a live window's.
    HeadlessMenu* liveMenu(HMENU menu) const;

    HeadlessDesktop& m_desktop;
};
