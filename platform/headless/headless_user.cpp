#include "platform/headless/headless_user.h"

#include <algorithm>

#include "platform/headless/headless_desktop.h"
#include "platform/ole_drop_target.h"
#include "platform/wnd.h"

namespace {

constexpr DWORD BUTTON_TYPE_MASK = 0xF;
constexpr DWORD MK_LBUTTON = 0x1;

LPARAM handleParam(HWND wnd) {
    return reinterpret_cast<LPARAM>(wnd);
}

// The control of dialog with id, or null.
HWND controlHandle(const HeadlessDesktop& desktop, HWND dialog, int id) {
    const HeadlessWindow* control = desktop.findControl(dialog, id);
    return control != nullptr ? HeadlessDesktop::handle(*control) : nullptr;
}

} // namespace

bool HeadlessUser::click(HWND dialog, int id) {
    const HeadlessWindow* control = m_desktop.findControl(dialog, id);
    if (control == nullptr) {
        ignore("click " + std::to_string(id) + ": no such control");
        return false;
    }
    const HWND button = HeadlessDesktop::handle(*control);
    const HeadlessWindow* owner = m_desktop.find(dialog);
    const bool stops = owner != nullptr && owner->working && owner->stopId == id;
    if (!acceptsInput(button, "click", false, stops ? DuringWork::Taken : DuringWork::Dropped)) {
        return false;
    }
    if (!control->isButton()) {
        ignore("click " + HeadlessDesktop::describe(*control) + ": not a button");
        return false;
    }
    m_desktop.find(dialog)->focus = button;
    if (control->kind == ControlKind::RadioButton &&
        (control->style & BUTTON_TYPE_MASK) == BS_AUTORADIOBUTTON) {
        checkRadio(*m_desktop.find(dialog), button);
    }
    m_desktop.send(dialog, WM_COMMAND, MAKEWPARAM(UINT(id), BN_CLICKED), handleParam(button));
    return true;
}

bool HeadlessUser::focusControl(HWND dialog, int id) {
    const HeadlessWindow* control = m_desktop.findControl(dialog, id);
    if (control == nullptr) {
        ignore("focus " + std::to_string(id) + ": no such control");
        return false;
    }
    const HWND wnd = HeadlessDesktop::handle(*control);
    if (!acceptsInput(wnd, "focus")) {
        return false;
    }
    if (!control->isButton() && control->kind != ControlKind::ListView &&
        control->kind != ControlKind::ComboBox) {
        ignore("focus " + HeadlessDesktop::describe(*control) + ": takes no focus");
        return false;
    }
    m_desktop.find(dialog)->focus = wnd;
    return true;
}

bool HeadlessUser::pressEnter(HWND dialog) {
    if (!acceptsInput(dialog, "enter")) {
        return false;
    }
    const HeadlessWindow& window = *m_desktop.find(dialog);
    // A focused push button takes Enter; otherwise the default push button, or IDOK.
    HWND target = nullptr;
    const HeadlessWindow* focused = m_desktop.find(window.focus);
    if (focused != nullptr && focused->kind == ControlKind::PushButton) {
        target = window.focus;
    } else {
        for (const HWND child : window.children) {
            const HeadlessWindow* control = m_desktop.find(child);
            if (control->kind == ControlKind::PushButton &&
                (control->style & BUTTON_TYPE_MASK) == BS_DEFPUSHBUTTON) {
                target = child;
                break;
            }
        }
    }
    if (target == nullptr) {
        target = controlHandle(m_desktop, dialog, IDOK);
    }
    if (target != nullptr && !acceptsInput(target, "enter")) {
        return false;
    }
    const int id = target != nullptr ? m_desktop.find(target)->id : IDOK;
    m_desktop.send(dialog, WM_COMMAND, MAKEWPARAM(UINT(id), BN_CLICKED), handleParam(target));
    return true;
}

bool HeadlessUser::pressEscape(HWND dialog) {
    if (!acceptsInput(dialog, "escape", false, DuringWork::Taken)) {
        return false;
    }
    const HWND cancel = controlHandle(m_desktop, dialog, IDCANCEL);
    if (cancel != nullptr && !acceptsInput(cancel, "escape", false, DuringWork::Taken)) {
        return false;
    }
    m_desktop.send(dialog, WM_COMMAND, MAKEWPARAM(UINT(IDCANCEL), BN_CLICKED), handleParam(cancel));
    return true;
}

bool HeadlessUser::pressPaste(HWND dialog) {
    if (!acceptsInput(dialog, "paste")) {
        return false;
    }
    m_desktop.send(dialog, WM_PASTE, 0, 0);
    return true;
}

bool HeadlessUser::closeBox(HWND dialog) {
    const HeadlessWindow* window = m_desktop.find(dialog);
    if (window != nullptr && (window->style & WS_SYSMENU) == 0) {
        ignore("close box " + HeadlessDesktop::describe(*window) + ": no close box");
        return false;
    }
    if (!acceptsInput(dialog, "close box", true, DuringWork::Taken)) {
        return false;
    }
    m_desktop.send(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    return true;
}

bool HeadlessUser::minimize(HWND wnd, int clientWidth, int clientHeight) {
    if (!acceptsInput(wnd, "minimize", false, DuringWork::Taken)) {
        return false;
    }
    m_desktop.setMinimizedClientSize(SIZE{clientWidth, clientHeight});
    m_desktop.send(wnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    return true;
}

bool HeadlessUser::restore(HWND wnd) {
    const HeadlessWindow* window = m_desktop.find(wnd);
    if (window != nullptr && !window->iconic) {
        ignore("restore " + HeadlessDesktop::describe(*window) + ": not minimized");
        return false;
    }
    if (!acceptsInput(wnd, "restore", true, DuringWork::Taken)) {
        return false;
    }
    m_desktop.send(wnd, WM_SYSCOMMAND, SC_RESTORE, 0);
    return true;
}

bool HeadlessUser::dragFrame(HWND wnd, int outerWidth, int outerHeight) {
    const HeadlessWindow* window = m_desktop.find(wnd);
    if (window != nullptr && (!window->isDialog || (window->style & WS_THICKFRAME) == 0)) {
        ignore("drag frame " + HeadlessDesktop::describe(*window) + ": no sizing frame");
        return false;
    }
    if (!acceptsInput(wnd, "drag frame", false, DuringWork::Taken)) {
        return false;
    }
    // The system's own limits first; the window may narrow them.
    MINMAXINFO info;
    using Desktop = HeadlessDesktop;
    info.ptMaxSize = POINT{Desktop::SCREEN_WIDTH, Desktop::SCREEN_HEIGHT};
    info.ptMaxPosition = POINT{0, 0};
    info.ptMinTrackSize = POINT{Desktop::MIN_TRACK_WIDTH, Desktop::MIN_TRACK_HEIGHT};
    info.ptMaxTrackSize = POINT{Desktop::SCREEN_WIDTH + Desktop::MAX_TRACK_EXTRA,
                                Desktop::SCREEN_HEIGHT + Desktop::MAX_TRACK_EXTRA};
    m_desktop.send(wnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    m_lastMinMaxInfo = info;
    if (m_desktop.find(wnd) == nullptr) {
        return false;
    }
    // Where the limits cross, the minimum wins: the window stays large enough for its controls.
    const int width =
        std::max(std::min(outerWidth, int(info.ptMaxTrackSize.x)), int(info.ptMinTrackSize.x));
    const int height =
        std::max(std::min(outerHeight, int(info.ptMaxTrackSize.y)), int(info.ptMinTrackSize.y));
    const RECT& at = m_desktop.find(wnd)->rect;
    m_desktop.logEvent("drag", *m_desktop.find(wnd));
    m_desktop.place(wnd, RECT{at.left, at.top, at.left + width, at.top + height});
    return true;
}

bool HeadlessUser::chooseComboItem(HWND dialog, int id, int index) {
    HeadlessWindow* control = m_desktop.findControl(dialog, id);
    if (control == nullptr) {
        ignore("choose " + std::to_string(id) + ": no such control");
        return false;
    }
    const HWND combo = HeadlessDesktop::handle(*control);
    if (!acceptsInput(combo, "choose")) {
        return false;
    }
    if (control->kind != ControlKind::ComboBox) {
        ignore("choose " + HeadlessDesktop::describe(*control) + ": not a drop-down list");
        return false;
    }
    if (index < 0 || index >= control->combo.count()) {
        ignore("choose " + HeadlessDesktop::describe(*control) + ": no entry " +
               std::to_string(index));
        return false;
    }
    m_desktop.find(dialog)->focus = combo;
    control->combo.select(index);
    m_desktop.send(dialog, WM_COMMAND, MAKEWPARAM(UINT(id), CBN_SELCHANGE), handleParam(combo));
    return true;
}

bool HeadlessUser::chooseSystemMenu(HWND wnd, UINT id) {
    const HeadlessWindow* window = m_desktop.find(wnd);
    const bool listed =
        window != nullptr && window->systemMenu != nullptr &&
        std::any_of(window->systemMenu->entries.begin(), window->systemMenu->entries.end(),
                    [id](const MenuEntry& entry) {
                        return entry.kind == MenuEntryKind::Command && entry.id == id;
                    });
    if (window != nullptr && !listed) {
        ignore("system menu " + HeadlessDesktop::describe(*window) + ": no entry " +
               std::to_string(id));
        return false;
    }
    if (!acceptsInput(wnd, "system menu", true)) {
        return false;
    }
    m_desktop.send(wnd, WM_SYSCOMMAND, id, 0);
    return true;
}

bool HeadlessUser::pressKeys(HWND wnd, const std::string& keys) {
    const HeadlessWindow* window = m_desktop.find(wnd);
    if (window != nullptr && window->systemMenu != nullptr) {
        const std::string suffix = "\t" + keys;
        for (const MenuEntry& entry : window->systemMenu->entries) {
            if (entry.kind == MenuEntryKind::Command && entry.text.size() > suffix.size() &&
                entry.text.compare(entry.text.size() - suffix.size(), suffix.size(), suffix) == 0) {
                if (!acceptsInput(wnd, "keys")) {
                    return false;
                }
                m_desktop.send(wnd, WM_SYSCOMMAND, entry.id, 0);
                return true;
            }
        }
    }
    ignore("keys " + keys + ": no command");
    return false;
}

bool HeadlessUser::clickColumnHeader(HWND dialog, int id, int column) {
    const HeadlessWindow* control = m_desktop.findControl(dialog, id);
    if (control != nullptr && !acceptsInput(HeadlessDesktop::handle(*control), "column header")) {
        return false;
    }
    if (control == nullptr || control->kind != ControlKind::ListView || column < 0 ||
        column >= int(control->list.columns().size())) {
        ignore("column header: no column " + std::to_string(column) + " in control " +
               std::to_string(id));
        return false;
    }
    NMLISTVIEW notice;
    notice.hdr = NMHDR{HeadlessDesktop::handle(*control), UINT_PTR(id), LVN_COLUMNCLICK};
    notice.iSubItem = column;
    m_desktop.send(dialog, WM_NOTIFY, WPARAM(id), reinterpret_cast<LPARAM>(&notice));
    return true;
}

bool HeadlessUser::chooseSystemMenu(HWND wnd, const std::string& text) {
    const HeadlessWindow* window = m_desktop.find(wnd);
    if (window != nullptr && window->systemMenu != nullptr) {
        for (const MenuEntry& entry : window->systemMenu->entries) {
            if (entry.kind == MenuEntryKind::Command && entry.text == text) {
                return chooseSystemMenu(wnd, UINT(entry.id));
            }
        }
    }
    ignore("system menu: no entry \"" + text + "\"");
    return false;
}

bool HeadlessUser::paint(HWND wnd) {
    if (!m_desktop.isShown(wnd)) {
        ignore("paint: not a visible window");
        return false;
    }
    m_desktop.send(wnd, WM_PAINT, 0, 0);
    return true;
}

HICON HeadlessUser::dragMinimized(HWND wnd) {
    const HeadlessWindow* window = m_desktop.find(wnd);
    if (window == nullptr || !window->iconic) {
        ignore("drag minimized: not minimized");
        return nullptr;
    }
    const HICON cursor = reinterpret_cast<HICON>(m_desktop.send(wnd, WM_QUERYDRAGICON, 0, 0));
    if (cursor != nullptr) {
        return cursor;
    }
    const HeadlessWindow* after = m_desktop.find(wnd);
    return after != nullptr ? after->bigIcon : nullptr;
}

bool HeadlessUser::dropFiles(HWND wnd, std::vector<std::string> paths) {
    COleDataObject data(std::move(paths), true, CString(), false);
    return drop(wnd, "drop files", data);
}

bool HeadlessUser::dropText(HWND wnd, std::string text) {
    COleDataObject data({}, false, std::move(text), true);
    return drop(wnd, "drop text", data);
}

bool HeadlessUser::dropNothing(HWND wnd) {
    COleDataObject data;
    return drop(wnd, "drop nothing", data);
}

bool HeadlessUser::drop(HWND wnd, const char* action, COleDataObject& data) {
    if (!acceptsInput(wnd, action)) {
        return false;
    }
    DropRecord record;
    record.wnd = wnd;
    // The drag reaches the target of the window under the cursor or of its nearest ancestor.
    HWND targetWindow = wnd;
    while (targetWindow != nullptr && m_desktop.find(targetWindow)->dropTarget == nullptr) {
        targetWindow = m_desktop.find(targetWindow)->parent;
    }
    if (targetWindow == nullptr) {
        m_drops.push_back(record);
        return false;
    }
    record.targetWindow = targetWindow;
    COleDropTarget* target = m_desktop.find(targetWindow)->dropTarget;
    CWnd* over = CWnd::FromHandlePermanent(targetWindow);
    const RECT client = m_desktop.find(targetWindow)->clientRect();
    const POINT point{client.right / 2, client.bottom / 2};
    record.enterEffect = target->OnDragEnter(over, &data, MK_LBUTTON, point);
    record.overEffect = target->OnDragOver(over, &data, MK_LBUTTON, point);
    if (record.overEffect == DROPEFFECT_NONE) {
        target->OnDragLeave(over);
        m_drops.push_back(record);
        return false;
    }
    record.dropped = true;
    record.dropResult = target->OnDrop(over, &data, record.overEffect, point);
    m_drops.push_back(record);
    return true;
}

bool HeadlessUser::acceptsInput(HWND wnd, const char* action, bool whileMinimized,
                                DuringWork whileWorking) {
    const HeadlessWindow* window = m_desktop.find(wnd);
    if (window == nullptr) {
        ignore(std::string(action) + ": not a window");
        return false;
    }
    const char* reason = nullptr;
    for (const HeadlessWindow* up = window; up != nullptr && reason == nullptr;
         up = m_desktop.find(up->parent)) {
        if (!up->visible) {
            reason = "hidden";
        } else if (!up->enabled) {
            reason = "disabled";
        } else if (up->iconic && !whileMinimized) {
            reason = "minimized";
        } else if (up->working && whileWorking == DuringWork::Dropped) {
            reason = "working";
        }
    }
    if (reason != nullptr) {
        ignore(std::string(action) + " " + HeadlessDesktop::describe(*window) + ": " + reason);
        return false;
    }
    return true;
}

void HeadlessUser::checkRadio(const HeadlessWindow& dialog, HWND radio) {
    // The group runs from the last control at or before radio that starts a group to the next
    // control that starts one.
    const std::vector<HWND>& children = dialog.children;
    const auto at = std::find(children.begin(), children.end(), radio);
    auto first = at;
    while (first != children.begin() && (m_desktop.find(*first)->style & WS_GROUP) == 0) {
        --first;
    }
    auto last = at + 1;
    while (last != children.end() && (m_desktop.find(*last)->style & WS_GROUP) == 0) {
        ++last;
    }
    for (auto it = first; it != last; ++it) {
        HeadlessWindow* control = m_desktop.find(*it);
        if (control->kind == ControlKind::RadioButton) {
            control->checked = *it == radio;
        }
    }
}
