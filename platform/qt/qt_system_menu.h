#pragma once

#include <QMenu>
#include <QPointer>
#include <functional>
#include <string>

#include "platform/system_menus.h"
#include "platform/win_types.h"

/// A window's system menu. Linux desktops keep the window menu to themselves, so this one is a
/// popup of the window's own, shown on request (right click on the window's background,
/// Shift+F10, the Menu key). It starts with "&Close" (SC_CLOSE); choosing an entry hands its
/// command ID to onChoose.
class QtSystemMenu {
public:
    /// The menu is a child of window and goes with it.
    QtSystemMenu(QWidget* window, std::function<void(UINT id)> onChoose);
    ~QtSystemMenu();
    QtSystemMenu(const QtSystemMenu&) = delete;
    QtSystemMenu& operator=(const QtSystemMenu&) = delete;

    HMENU handle() { return reinterpret_cast<HMENU>(this); }
    /// Appends a separator or a command entry with id. A text ending in a tab and keys gives the
    /// entry those keys as a shortcut of the whole window.
    bool append(MenuEntryKind kind, UINT_PTR id, const std::string& text);
    /// Shows or hides the check mark of entry id; false when there is none.
    bool check(UINT id, bool checked);
    /// Shows the menu at a global position without waiting for a choice.
    void popup(const QPoint& at);
    QMenu* menu() const { return m_menu.data(); }

private:
    void addEntry(UINT id, const QString& text);

    QPointer<QMenu> m_menu;
    std::function<void(UINT id)> m_onChoose;
};
