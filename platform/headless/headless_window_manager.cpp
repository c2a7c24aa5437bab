#include "platform/headless/headless_window_manager.h"

#include <algorithm>
#include <memory>

#include "platform/headless/headless_desktop.h"

HWND HeadlessWindowManager::createDialog(const DialogTemplate& tmpl, HWND owner) {
    using Desktop = HeadlessDesktop;
    auto window = std::make_unique<HeadlessWindow>();
    window->isDialog = true;
    window->id = tmpl.id;
    window->style = tmpl.style;
    window->exStyle = tmpl.exStyle;
    window->text = tmpl.caption;
    window->owner = isWindow(owner) ? owner : nullptr;
    // The template gives the client size; the position is the outer top-left on the screen.
    const SIZE outer =
        window->outerSizeFor(Desktop::dluToPixelsX(tmpl.cx), Desktop::dluToPixelsY(tmpl.cy));
    const int x = Desktop::dluToPixelsX(tmpl.x);
    const int y = Desktop::dluToPixelsY(tmpl.y);
    window->rect = RECT{x, y, x + outer.cx, y + outer.cy};
    if ((tmpl.style & WS_SYSMENU) != 0) {
        window->systemMenu = std::make_unique<HeadlessMenu>();
        std::vector<MenuEntry>& entries = window->systemMenu->entries;
        entries.push_back({MenuEntryKind::Command, SC_MOVE, "&Move"});
        if ((tmpl.style & WS_THICKFRAME) != 0) {
            entries.push_back({MenuEntryKind::Command, SC_SIZE, "&Size"});
        }
        entries.push_back({MenuEntryKind::Separator, 0, ""});
        entries.push_back({MenuEntryKind::Command, SC_CLOSE, "&Close"});
    }
    HeadlessMenu* menu = window->systemMenu.get();
    const HWND dialog = m_desktop.addDialog(std::move(window));
    if (menu != nullptr) {
        menu->owner = dialog;
    }

    for (const ControlTemplate& control : tmpl.controls) {
        const int cx = Desktop::dluToPixelsX(control.x);
        const int cy = Desktop::dluToPixelsY(control.y);
        const RECT rect{cx, cy, cx + Desktop::dluToPixelsX(control.cx),
                        cy + Desktop::dluToPixelsY(control.cy)};
        const HWND wnd =
            m_desktop.addControl(dialog, control.kind, control.text,
                                 control.style | WS_CHILD | WS_VISIBLE, rect, control.id);
        HeadlessWindow* made = m_desktop.find(wnd);
        if (control.kind == ControlKind::StaticBitmap && control.imageId != 0) {
            // A bitmap static takes its picture's size; nobody is attached yet to hear WM_SIZE.
            made->bitmap = Resources::bitmap(control.imageId);
            if (made->bitmap != nullptr) {
                made->rect.right = made->rect.left + made->bitmap->width;
                made->rect.bottom = made->rect.top + made->bitmap->height;
            }
        }
    }
    // The framework's OnInitDialog returns TRUE, which leaves the focus on the first tab stop.
    HeadlessWindow* record = m_desktop.find(dialog);
    for (const HWND child : record->children) {
        if ((m_desktop.find(child)->style & WS_TABSTOP) != 0) {
            record->focus = child;
            break;
        }
    }
    return dialog;
}

void HeadlessWindowManager::destroyWindow(HWND wnd) {
    HeadlessWindow* window = m_desktop.find(wnd);
    if (window == nullptr) {
        return;
    }
    // Owned windows and children go with their window: none outlives the window it belongs to.
    const std::vector<HWND> topLevel = m_desktop.topLevelWindows();
    for (const HWND other : topLevel) {
        const HeadlessWindow* candidate = m_desktop.find(other);
        if (candidate != nullptr && candidate->owner == wnd) {
            destroyWindow(other);
        }
    }
    const std::vector<HWND> children = window->children;
    for (const HWND child : children) {
        destroyWindow(child);
    }
    m_desktop.logEvent("destroy", *window);
    m_desktop.remove(wnd);
}

bool HeadlessWindowManager::isWindow(HWND wnd) const {
    return m_desktop.find(wnd) != nullptr;
}

SIZE HeadlessWindowManager::screenSize() const {
    return SIZE{HeadlessDesktop::SCREEN_WIDTH, HeadlessDesktop::SCREEN_HEIGHT};
}

// Geometry.

RECT HeadlessWindowManager::windowRect(HWND wnd) const {
    const HeadlessWindow* window = m_desktop.find(wnd);
    if (window == nullptr) {
        return RECT{};
    }
    if (window->parent == nullptr) {
        return window->rect;
    }
    // A control's rectangle is kept in its parent's client area but answered on the screen.
    const POINT origin = clientOrigin(window->parent);
    const RECT& at = window->rect;
    return RECT{at.left + origin.x, at.top + origin.y, at.right + origin.x, at.bottom + origin.y};
}

RECT HeadlessWindowManager::clientRect(HWND wnd) const {
    const HeadlessWindow* window = m_desktop.find(wnd);
    return window != nullptr ? window->clientRect() : RECT{};
}

POINT HeadlessWindowManager::clientOrigin(HWND wnd) const {
    const HeadlessWindow* window = m_desktop.find(wnd);
    if (window == nullptr) {
        return POINT{};
    }
    const POINT offset = window->clientOffset();
    POINT origin{window->rect.left + offset.x, window->rect.top + offset.y};
    if (window->parent != nullptr) {
        const POINT parentOrigin = clientOrigin(window->parent);
        origin.x += parentOrigin.x;
        origin.y += parentOrigin.y;
    }
    return origin;
}

void HeadlessWindowManager::moveWindow(HWND wnd, int x, int y, int cx, int cy) {
    HeadlessWindow* window = m_desktop.find(wnd);
    if (window == nullptr) {
        return;
    }
    m_desktop.logEvent("move", *window);
    const RECT rect{x, y, x + std::max(0, cx), y + std::max(0, cy)};
    if (window->iconic) {
        // A parked window keeps its place; the move takes effect when it is restored.
        window->restoredRect = rect;
        return;
    }
    m_desktop.place(wnd, rect);
}

void HeadlessWindowManager::setZOrder(HWND wnd, ZOrder where) {
    HeadlessWindow* window = m_desktop.find(wnd);
    if (window == nullptr) {
        return;
    }
    std::vector<HWND>& order = m_desktop.stacking(window->parent);
    order.erase(std::remove(order.begin(), order.end(), wnd), order.end());
    if (where == ZOrder::Bottom) {
        order.push_back(wnd);
        m_desktop.logEvent("zorder bottom", *window);
        return;
    }
    order.insert(order.begin(), wnd);
    m_desktop.logEvent("zorder top", *window);
}

// Showing and enabling.

void HeadlessWindowManager::showWindow(HWND wnd, ShowCommand command) {
    HeadlessWindow* window = m_desktop.find(wnd);
    if (window == nullptr) {
        return;
    }
    switch (command) {
    case ShowCommand::Hide:
        window->visible = false;
        m_desktop.logEvent("hide", *window);
        break;
    case ShowCommand::Minimize:
        minimizeNow(wnd);
        break;
    case ShowCommand::Restore:
        if (window->iconic) {
            restoreNow(wnd);
            break;
        }
        [[fallthrough]];
    case ShowCommand::Show:
        window->visible = true;
        m_desktop.logEvent("show", *window);
        break;
    }
}

bool HeadlessWindowManager::isVisible(HWND wnd) const {
    return m_desktop.isShown(wnd);
}

bool HeadlessWindowManager::isIconic(HWND wnd) const {
    const HeadlessWindow* window = m_desktop.find(wnd);
    return window != nullptr && window->iconic;
}

void HeadlessWindowManager::enableWindow(HWND wnd, bool enable) {
    HeadlessWindow* window = m_desktop.find(wnd);
    if (window == nullptr) {
        return;
    }
    window->enabled = enable;
    m_desktop.logEvent(enable ? "enable" : "disable", *window);
}

bool HeadlessWindowManager::isEnabled(HWND wnd) const {
    const HeadlessWindow* window = m_desktop.find(wnd);
    return window != nullptr && window->enabled;
}

void HeadlessWindowManager::minimizeNow(HWND wnd) {
    HeadlessWindow* window = m_desktop.find(wnd);
    if (window->iconic || !window->isDialog) {
        return;
    }
    window->restoredRect = window->rect;
    const SIZE client = m_desktop.minimizedClientSize();
    const SIZE parked =
        window->outerSizeFor(std::max(0, int(client.cx)), std::max(0, int(client.cy)));
    const int at = HeadlessDesktop::PARKED;
    window->rect = RECT{at, at, at + parked.cx, at + parked.cy};
    window->iconic = true;
    window->visible = true;
    m_desktop.logEvent("minimize", *window);
    m_desktop.send(wnd, WM_SIZE, SIZE_MINIMIZED, 0);
}

void HeadlessWindowManager::restoreNow(HWND wnd) {
    HeadlessWindow* window = m_desktop.find(wnd);
    window->rect = window->restoredRect;
    window->iconic = false;
    window->visible = true;
    m_desktop.logEvent("restore", *window);
    const RECT client = window->clientRect();
    m_desktop.send(wnd, WM_SIZE, SIZE_RESTORED,
                   MAKELPARAM(UINT(client.right), UINT(client.bottom)));
}
