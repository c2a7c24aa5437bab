// The user's side of the headless backend: modal loops, the actions a test performs as the user,
// and the readers of what happened. The window-system side is in headless_backend.cpp.

#include "platform/headless/headless_backend.h"

#include <algorithm>

#include "platform/ole_drop_target.h"
#include "platform/win_api.h"
#include "platform/wnd.h"

namespace {

constexpr DWORD BUTTON_TYPE_MASK = 0xF;
constexpr DWORD MK_LBUTTON = 0x1;

LPARAM handleParam(HWND wnd) {
    return reinterpret_cast<LPARAM>(wnd);
}

} // namespace

// Modal runs and long work.

int HeadlessBackend::runModal(HWND dialog) {
    HeadlessWindow* found = find(dialog);
    if (found == nullptr) {
        return -1;
    }
    // Records outlive their windows, so this stays readable if a handler destroys the dialog.
    const HeadlessWindow& window = *found;
    modalRuns.push_back(dialog);
    bool closeTried = false;
    while (!window.modalEnded) {
        if (!m_posted.empty()) {
            const SentMessage posted = m_posted.front();
            m_posted.pop_front();
            if (find(posted.wnd) != nullptr) {
                send(posted.wnd, posted.message, posted.wParam, posted.lParam);
            }
            continue;
        }
        if (!m_actions.empty()) {
            const Action action = std::move(m_actions.front());
            m_actions.pop_front();
            action(dialog);
            continue;
        }
        if (!closeTried) {
            // Out of actions: the user closes the dialog, so that a test never hangs.
            closeTried = true;
            ++autoCloses;
            send(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
            continue;
        }
        ++forcedEnds;
        endModal(dialog, IDCANCEL);
        break;
    }
    return window.modalResult;
}

void HeadlessBackend::endModal(HWND dialog, int result) {
    if (HeadlessWindow* window = find(dialog)) {
        window->modalEnded = true;
        window->modalResult = result;
    }
}

void HeadlessBackend::beginWork(HWND dialog, int stopId) {
    if (HeadlessWindow* window = find(dialog)) {
        window->working = true;
        window->stopId = stopId;
    }
    ++workBegun;
}

void HeadlessBackend::endWork(HWND dialog) {
    if (HeadlessWindow* window = find(dialog)) {
        window->working = false;
        window->stopId = 0;
    }
    ++workEnded;
}

void HeadlessBackend::serveEvents(HWND dialog) {
    ++serveCalls;
    if (m_workActions.empty()) {
        return;
    }
    const std::function<bool(HWND)> action = m_workActions.front();
    if (action(dialog)) {
        m_workActions.pop_front();
    }
}

std::uint64_t HeadlessBackend::tickCount() {
    clockMs += clockStepMs;
    return clockMs;
}

bool HeadlessBackend::postMessage(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (find(wnd) == nullptr) {
        return false;
    }
    m_posted.push_back(SentMessage{wnd, message, wParam, lParam});
    return true;
}

// User actions.

void HeadlessBackend::queue(Action action) {
    m_actions.push_back(std::move(action));
}

void HeadlessBackend::duringWork(std::function<bool(HWND)> action) {
    m_workActions.push_back(std::move(action));
}

void HeadlessBackend::answerSave(std::string path) {
    m_saveAnswers.emplace_back(std::move(path));
}

void HeadlessBackend::cancelSave() {
    m_saveAnswers.emplace_back(std::nullopt);
}

bool HeadlessBackend::click(HWND dialog, int id) {
    const HeadlessWindow* control = findControl(dialog, id);
    if (control == nullptr) {
        ignoredInput.push_back("click " + std::to_string(id) + ": no such control");
        return false;
    }
    const HWND button = dialogItem(dialog, id);
    const HeadlessWindow* owner = find(dialog);
    const bool stops = owner != nullptr && owner->working && owner->stopId == id;
    if (!acceptsInput(button, "click", false, stops ? DuringWork::Taken : DuringWork::Dropped)) {
        return false;
    }
    if (!control->isButton()) {
        ignoredInput.push_back("click " + describe(*control) + ": not a button");
        return false;
    }
    find(dialog)->focus = button;
    if (control->kind == ControlKind::RadioButton &&
        (control->style & BUTTON_TYPE_MASK) == BS_AUTORADIOBUTTON) {
        checkRadio(*find(dialog), button);
    }
    send(dialog, WM_COMMAND, MAKEWPARAM(UINT(id), BN_CLICKED), handleParam(button));
    return true;
}

bool HeadlessBackend::focusControl(HWND dialog, int id) {
    const HeadlessWindow* control = findControl(dialog, id);
    const HWND wnd = dialogItem(dialog, id);
    if (control == nullptr) {
        ignoredInput.push_back("focus " + std::to_string(id) + ": no such control");
        return false;
    }
    if (!acceptsInput(wnd, "focus")) {
        return false;
    }
    if (!control->isButton() && control->kind != ControlKind::ListView) {
        ignoredInput.push_back("focus " + describe(*control) + ": takes no focus");
        return false;
    }
    find(dialog)->focus = wnd;
    return true;
}

bool HeadlessBackend::pressEnter(HWND dialog) {
    if (!acceptsInput(dialog, "enter")) {
        return false;
    }
    const HeadlessWindow& window = *find(dialog);
    // A focused push button takes Enter; otherwise the default push button, or IDOK.
    HWND target = nullptr;
    const HeadlessWindow* focused = find(window.focus);
    if (focused != nullptr && focused->kind == ControlKind::PushButton) {
        target = window.focus;
    } else {
        for (const HWND child : window.children) {
            const HeadlessWindow* control = find(child);
            if (control->kind == ControlKind::PushButton &&
                (control->style & BUTTON_TYPE_MASK) == BS_DEFPUSHBUTTON) {
                target = child;
                break;
            }
        }
    }
    if (target == nullptr) {
        target = dialogItem(dialog, IDOK);
    }
    if (target != nullptr && !acceptsInput(target, "enter")) {
        return false;
    }
    const int id = target != nullptr ? find(target)->id : IDOK;
    send(dialog, WM_COMMAND, MAKEWPARAM(UINT(id), BN_CLICKED), handleParam(target));
    return true;
}

bool HeadlessBackend::pressEscape(HWND dialog) {
    if (!acceptsInput(dialog, "escape", false, DuringWork::Taken)) {
        return false;
    }
    const HWND cancel = dialogItem(dialog, IDCANCEL);
    if (cancel != nullptr && !acceptsInput(cancel, "escape", false, DuringWork::Taken)) {
        return false;
    }
    send(dialog, WM_COMMAND, MAKEWPARAM(UINT(IDCANCEL), BN_CLICKED), handleParam(cancel));
    return true;
}

bool HeadlessBackend::closeBox(HWND dialog) {
    const HeadlessWindow* window = find(dialog);
    if (window != nullptr && (window->style & WS_SYSMENU) == 0) {
        ignoredInput.push_back("close box " + describe(*window) + ": no close box");
        return false;
    }
    if (!acceptsInput(dialog, "close box", true, DuringWork::Taken)) {
        return false;
    }
    send(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    return true;
}

bool HeadlessBackend::minimize(HWND wnd, int clientWidth, int clientHeight) {
    if (!acceptsInput(wnd, "minimize", false, DuringWork::Taken)) {
        return false;
    }
    minimizedClientSize = SIZE{clientWidth, clientHeight};
    send(wnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    return true;
}

bool HeadlessBackend::restore(HWND wnd) {
    const HeadlessWindow* window = find(wnd);
    if (window != nullptr && !window->iconic) {
        ignoredInput.push_back("restore " + describe(*window) + ": not minimized");
        return false;
    }
    if (!acceptsInput(wnd, "restore", true, DuringWork::Taken)) {
        return false;
    }
    send(wnd, WM_SYSCOMMAND, SC_RESTORE, 0);
    return true;
}

bool HeadlessBackend::dragFrame(HWND wnd, int outerWidth, int outerHeight) {
    const HeadlessWindow* window = find(wnd);
    if (window != nullptr && (!window->isDialog || (window->style & WS_THICKFRAME) == 0)) {
        ignoredInput.push_back("drag frame " + describe(*window) + ": no sizing frame");
        return false;
    }
    if (!acceptsInput(wnd, "drag frame", false, DuringWork::Taken)) {
        return false;
    }
    // The system's own limits first; the window may narrow them.
    MINMAXINFO info;
    info.ptMaxSize = POINT{SCREEN_WIDTH, SCREEN_HEIGHT};
    info.ptMaxPosition = POINT{0, 0};
    info.ptMinTrackSize = POINT{MIN_TRACK_WIDTH, MIN_TRACK_HEIGHT};
    info.ptMaxTrackSize = POINT{SCREEN_WIDTH + MAX_TRACK_EXTRA, SCREEN_HEIGHT + MAX_TRACK_EXTRA};
    send(wnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    lastMinMaxInfo = info;
    if (find(wnd) == nullptr) {
        return false;
    }
    // Where the limits cross, the minimum wins: the window stays large enough for its controls.
    const int width =
        std::max(std::min(outerWidth, int(info.ptMaxTrackSize.x)), int(info.ptMinTrackSize.x));
    const int height =
        std::max(std::min(outerHeight, int(info.ptMaxTrackSize.y)), int(info.ptMinTrackSize.y));
    const RECT& at = find(wnd)->rect;
    logEvent("drag", *find(wnd));
    place(wnd, RECT{at.left, at.top, at.left + width, at.top + height});
    return true;
}

bool HeadlessBackend::chooseSystemMenu(HWND wnd, UINT id) {
    const HeadlessWindow* window = find(wnd);
    const bool listed =
        window != nullptr && window->systemMenu != nullptr &&
        std::any_of(window->systemMenu->entries.begin(), window->systemMenu->entries.end(),
                    [id](const MenuEntry& entry) {
                        return entry.kind == MenuEntryKind::Command && entry.id == id;
                    });
    if (window != nullptr && !listed) {
        ignoredInput.push_back("system menu " + describe(*window) + ": no entry " +
                               std::to_string(id));
        return false;
    }
    if (!acceptsInput(wnd, "system menu", true)) {
        return false;
    }
    send(wnd, WM_SYSCOMMAND, id, 0);
    return true;
}

bool HeadlessBackend::chooseSystemMenu(HWND wnd, const std::string& text) {
    for (const MenuEntry& entry : systemMenuEntries(wnd)) {
        if (entry.kind == MenuEntryKind::Command && entry.text == text) {
            return chooseSystemMenu(wnd, UINT(entry.id));
        }
    }
    ignoredInput.push_back("system menu: no entry \"" + text + "\"");
    return false;
}

bool HeadlessBackend::paint(HWND wnd) {
    if (!isVisible(wnd)) {
        ignoredInput.push_back("paint: not a visible window");
        return false;
    }
    send(wnd, WM_PAINT, 0, 0);
    return true;
}

HICON HeadlessBackend::dragMinimized(HWND wnd) {
    if (!isIconic(wnd)) {
        ignoredInput.push_back("drag minimized: not minimized");
        return nullptr;
    }
    const HICON cursor = reinterpret_cast<HICON>(send(wnd, WM_QUERYDRAGICON, 0, 0));
    return cursor != nullptr ? cursor : windowIcon(wnd, IconSize::Big);
}

bool HeadlessBackend::dropFiles(HWND wnd, std::vector<std::string> paths) {
    COleDataObject data(std::move(paths), true, CString(), false);
    return drop(wnd, "drop files", data);
}

bool HeadlessBackend::dropText(HWND wnd, std::string text) {
    COleDataObject data({}, false, std::move(text), true);
    return drop(wnd, "drop text", data);
}

bool HeadlessBackend::dropNothing(HWND wnd) {
    COleDataObject data;
    return drop(wnd, "drop nothing", data);
}

bool HeadlessBackend::drop(HWND wnd, const char* action, COleDataObject& data) {
    if (!acceptsInput(wnd, action)) {
        return false;
    }
    DropRecord record;
    record.wnd = wnd;
    // The drag reaches the target of the window under the cursor or of its nearest ancestor.
    HWND targetWindow = wnd;
    while (targetWindow != nullptr && find(targetWindow)->dropTarget == nullptr) {
        targetWindow = find(targetWindow)->parent;
    }
    if (targetWindow == nullptr) {
        drops.push_back(record);
        return false;
    }
    record.targetWindow = targetWindow;
    COleDropTarget* target = find(targetWindow)->dropTarget;
    CWnd* over = CWnd::FromHandlePermanent(targetWindow);
    const RECT client = clientRect(targetWindow);
    const POINT point{client.right / 2, client.bottom / 2};
    record.enterEffect = target->OnDragEnter(over, &data, MK_LBUTTON, point);
    record.overEffect = target->OnDragOver(over, &data, MK_LBUTTON, point);
    if (record.overEffect == DROPEFFECT_NONE) {
        target->OnDragLeave(over);
        drops.push_back(record);
        return false;
    }
    record.dropped = true;
    record.dropResult = target->OnDrop(over, &data, record.overEffect, point);
    drops.push_back(record);
    return true;
}

bool HeadlessBackend::acceptsInput(HWND wnd, const char* action, bool whileMinimized,
                                   DuringWork whileWorking) {
    const HeadlessWindow* window = find(wnd);
    if (window == nullptr) {
        ignoredInput.push_back(std::string(action) + ": not a window");
        return false;
    }
    const char* reason = nullptr;
    for (const HeadlessWindow* up = window; up != nullptr && reason == nullptr;
         up = find(up->parent)) {
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
        ignoredInput.push_back(std::string(action) + " " + describe(*window) + ": " + reason);
        return false;
    }
    return true;
}

void HeadlessBackend::checkRadio(const HeadlessWindow& dialog, HWND radio) {
    // The group runs from the last control at or before radio that starts a group to the next
    // control that starts one.
    const std::vector<HWND>& children = dialog.children;
    const auto at = std::find(children.begin(), children.end(), radio);
    auto first = at;
    while (first != children.begin() && (find(*first)->style & WS_GROUP) == 0) {
        --first;
    }
    auto last = at + 1;
    while (last != children.end() && (find(*last)->style & WS_GROUP) == 0) {
        ++last;
    }
    for (auto it = first; it != last; ++it) {
        HeadlessWindow* control = find(*it);
        if (control->kind == ControlKind::RadioButton) {
            control->checked = *it == radio;
        }
    }
}

// Records.

const HeadlessWindow* HeadlessBackend::record(HWND wnd) const {
    return find(wnd);
}

std::vector<HWND> HeadlessBackend::topLevelWindows() const {
    return m_topLevel;
}

HWND HeadlessBackend::findDialog(int templateId) const {
    for (auto it = m_topLevel.rbegin(); it != m_topLevel.rend(); ++it) {
        if (find(*it)->id == templateId) {
            return *it;
        }
    }
    return nullptr;
}

std::vector<HWND> HeadlessBackend::zOrder(HWND parent) const {
    if (parent == nullptr) {
        return m_topZOrder;
    }
    const HeadlessWindow* window = find(parent);
    return window != nullptr ? window->zOrder : std::vector<HWND>();
}

std::vector<MenuEntry> HeadlessBackend::systemMenuEntries(HWND wnd) const {
    const HeadlessWindow* window = find(wnd);
    if (window == nullptr || window->systemMenu == nullptr) {
        return {};
    }
    return window->systemMenu->entries;
}

HWND HeadlessBackend::focusedControl(HWND dialog) const {
    const HeadlessWindow* window = find(dialog);
    return window != nullptr ? window->focus : nullptr;
}

int HeadlessBackend::sentCount(HWND wnd, UINT message) const {
    return int(
        std::count_if(sentMessages.begin(), sentMessages.end(), [&](const SentMessage& sent) {
            return sent.wnd == wnd && sent.message == message;
        }));
}
