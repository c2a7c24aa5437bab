#include "platform/headless/headless_backend.h"

#include <algorithm>

#include "platform/win_api.h"

namespace {

// a × b / c rounded to nearest, halves away from zero, as the platform's MulDiv rounds.
int mulDivRound(int a, int b, int c) {
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : -((-product + half) / c));
}

void erase(std::vector<HWND>& list, HWND wnd) {
    list.erase(std::remove(list.begin(), list.end(), wnd), list.end());
}

} // namespace

HeadlessBackend::~HeadlessBackend() = default;

int HeadlessBackend::dluToPixelsX(int x) {
    return mulDivRound(x, 6, 4);
}

int HeadlessBackend::dluToPixelsY(int y) {
    return mulDivRound(y, 13, 8);
}

// Windows and controls.

HWND HeadlessBackend::createDialog(const DialogTemplate& tmpl, HWND owner) {
    auto window = std::make_unique<HeadlessWindow>();
    window->isDialog = true;
    window->id = tmpl.id;
    window->style = tmpl.style;
    window->exStyle = tmpl.exStyle;
    window->text = tmpl.caption;
    window->owner = isWindow(owner) ? owner : nullptr;
    // The template gives the client size; the position is the outer top-left on the screen.
    const SIZE outer = window->outerSizeFor(dluToPixelsX(tmpl.cx), dluToPixelsY(tmpl.cy));
    const int x = dluToPixelsX(tmpl.x);
    const int y = dluToPixelsY(tmpl.y);
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
    const HWND dialog = newWindow(std::move(window));
    if (menu != nullptr) {
        menu->owner = dialog;
    }
    m_topLevel.push_back(dialog);
    m_topZOrder.insert(m_topZOrder.begin(), dialog);

    for (const ControlTemplate& control : tmpl.controls) {
        const int cx = dluToPixelsX(control.x);
        const int cy = dluToPixelsY(control.y);
        const RECT rect{cx, cy, cx + dluToPixelsX(control.cx), cy + dluToPixelsY(control.cy)};
        const HWND wnd = createControl(dialog, control.kind, control.text,
                                       control.style | WS_CHILD | WS_VISIBLE, rect, control.id);
        HeadlessWindow* made = find(wnd);
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
    HeadlessWindow* record = find(dialog);
    for (const HWND child : record->children) {
        if ((find(child)->style & WS_TABSTOP) != 0) {
            record->focus = child;
            break;
        }
    }
    return dialog;
}

HWND HeadlessBackend::createControl(HWND parent, ControlKind kind, const std::string& text,
                                    DWORD style, const RECT& rect, int id) {
    HeadlessWindow* owner = find(parent);
    if (owner == nullptr) {
        return nullptr;
    }
    auto window = std::make_unique<HeadlessWindow>();
    window->kind = kind;
    window->id = id;
    window->style = style;
    window->text = text;
    window->parent = parent;
    window->rect = rect;
    window->visible = (style & WS_VISIBLE) != 0;
    const HWND wnd = newWindow(std::move(window));
    // Controls stack in creation order: the first one made is the topmost.
    owner->children.push_back(wnd);
    owner->zOrder.push_back(wnd);
    return wnd;
}

void HeadlessBackend::destroyWindow(HWND wnd) {
    HeadlessWindow* window = find(wnd);
    if (window == nullptr) {
        return;
    }
    // Owned windows and children go with their window: none outlives the window it belongs to.
    const std::vector<HWND> topLevel = m_topLevel;
    for (const HWND other : topLevel) {
        const HeadlessWindow* candidate = find(other);
        if (candidate != nullptr && candidate->owner == wnd) {
            destroyWindow(other);
        }
    }
    const std::vector<HWND> children = window->children;
    for (const HWND child : children) {
        destroyWindow(child);
    }
    logEvent("destroy", *window);
    unlink(wnd, *window);
    window->alive = false;
    window->dropTarget = nullptr;
    // A modal loop whose window is gone must not wait for an endModal that cannot come.
    window->modalEnded = true;
    m_live.erase(wnd);
}

bool HeadlessBackend::isWindow(HWND wnd) const {
    return find(wnd) != nullptr;
}

HWND HeadlessBackend::dialogItem(HWND dialog, int id) const {
    const HeadlessWindow* control = findControl(dialog, id);
    return control != nullptr ? reinterpret_cast<HWND>(const_cast<HeadlessWindow*>(control))
                              : nullptr;
}

HWND HeadlessBackend::parentOf(HWND wnd) const {
    const HeadlessWindow* window = find(wnd);
    return window != nullptr ? window->parent : nullptr;
}

HWND HeadlessBackend::nextControl(HWND control) const {
    const HeadlessWindow* window = find(control);
    const HeadlessWindow* parent = window != nullptr ? find(window->parent) : nullptr;
    if (parent == nullptr) {
        return nullptr;
    }
    const auto at = std::find(parent->children.begin(), parent->children.end(), control);
    return at + 1 < parent->children.end() ? *(at + 1) : nullptr;
}

ControlKind HeadlessBackend::controlKind(HWND control) const {
    const HeadlessWindow* window = find(control);
    return window != nullptr ? window->kind : ControlKind::PushButton;
}

DWORD HeadlessBackend::controlStyle(HWND control) const {
    const HeadlessWindow* window = find(control);
    return window != nullptr ? window->style : 0;
}

// Geometry.

RECT HeadlessBackend::windowRect(HWND wnd) const {
    const HeadlessWindow* window = find(wnd);
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

RECT HeadlessBackend::clientRect(HWND wnd) const {
    const HeadlessWindow* window = find(wnd);
    return window != nullptr ? window->clientRect() : RECT{};
}

POINT HeadlessBackend::clientOrigin(HWND wnd) const {
    const HeadlessWindow* window = find(wnd);
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

void HeadlessBackend::moveWindow(HWND wnd, int x, int y, int cx, int cy) {
    HeadlessWindow* window = find(wnd);
    if (window == nullptr) {
        return;
    }
    logEvent("move", *window);
    const RECT rect{x, y, x + std::max(0, cx), y + std::max(0, cy)};
    if (window->iconic) {
        // A parked window keeps its place; the move takes effect when it is restored.
        window->restoredRect = rect;
        return;
    }
    place(wnd, rect);
}

void HeadlessBackend::setZOrder(HWND wnd, ZOrder where) {
    HeadlessWindow* window = find(wnd);
    if (window == nullptr) {
        return;
    }
    HeadlessWindow* parent = find(window->parent);
    std::vector<HWND>& order = parent != nullptr ? parent->zOrder : m_topZOrder;
    erase(order, wnd);
    if (where == ZOrder::Bottom) {
        order.push_back(wnd);
        logEvent("zorder bottom", *window);
        return;
    }
    order.insert(order.begin(), wnd);
    logEvent("zorder top", *window);
}

void HeadlessBackend::showWindow(HWND wnd, ShowCommand command) {
    HeadlessWindow* window = find(wnd);
    if (window == nullptr) {
        return;
    }
    switch (command) {
    case ShowCommand::Hide:
        window->visible = false;
        logEvent("hide", *window);
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
        logEvent("show", *window);
        break;
    }
}

bool HeadlessBackend::isVisible(HWND wnd) const {
    const HeadlessWindow* window = find(wnd);
    if (window == nullptr) {
        return false;
    }
    // Visible only when every window up to the top level is.
    for (; window != nullptr; window = find(window->parent)) {
        if (!window->visible) {
            return false;
        }
    }
    return true;
}

bool HeadlessBackend::isIconic(HWND wnd) const {
    const HeadlessWindow* window = find(wnd);
    return window != nullptr && window->iconic;
}

void HeadlessBackend::enableWindow(HWND wnd, bool enable) {
    HeadlessWindow* window = find(wnd);
    if (window == nullptr) {
        return;
    }
    window->enabled = enable;
    logEvent(enable ? "enable" : "disable", *window);
}

bool HeadlessBackend::isEnabled(HWND wnd) const {
    const HeadlessWindow* window = find(wnd);
    return window != nullptr && window->enabled;
}

SIZE HeadlessBackend::screenSize() const {
    return SIZE{SCREEN_WIDTH, SCREEN_HEIGHT};
}

// Text and state.

void HeadlessBackend::setWindowText(HWND wnd, const std::string& text) {
    if (HeadlessWindow* window = find(wnd)) {
        window->text = text;
    }
}

std::string HeadlessBackend::windowText(HWND wnd) const {
    const HeadlessWindow* window = find(wnd);
    return window != nullptr ? window->text : std::string();
}

bool HeadlessBackend::isChecked(HWND button) const {
    const HeadlessWindow* window = find(button);
    return window != nullptr && window->checked;
}

void HeadlessBackend::setChecked(HWND button, bool checked) {
    if (HeadlessWindow* window = find(button)) {
        window->checked = checked;
    }
}

// Drawing.

void HeadlessBackend::setRedraw(HWND wnd, bool redraw) {
    if (HeadlessWindow* window = find(wnd)) {
        window->redraw = redraw;
        logEvent(redraw ? "redraw on" : "redraw off", *window);
    }
}

void HeadlessBackend::invalidate(HWND wnd) {
    if (HeadlessWindow* window = find(wnd)) {
        ++window->invalidations;
        logEvent("invalidate", *window);
    }
}

HDC HeadlessBackend::beginPaint(HWND wnd) {
    HeadlessWindow* window = find(wnd);
    if (window == nullptr) {
        return nullptr;
    }
    window->painting = true;
    // The device context is the window record itself; drawIcon finds the window through it.
    return reinterpret_cast<HDC>(window);
}

void HeadlessBackend::endPaint(HWND wnd, HDC /*dc*/) {
    if (HeadlessWindow* window = find(wnd)) {
        window->painting = false;
    }
}

void HeadlessBackend::drawIcon(HDC dc, int x, int y, HICON icon) {
    const HWND wnd = reinterpret_cast<HWND>(dc);
    const HeadlessWindow* window = find(wnd);
    if (window != nullptr && window->painting) {
        paintedIcons.push_back(PaintedIcon{wnd, x, y, icon});
    }
}

void HeadlessBackend::setIcon(HWND wnd, IconSize size, HICON icon) {
    if (HeadlessWindow* window = find(wnd)) {
        (size == IconSize::Big ? window->bigIcon : window->smallIcon) = icon;
    }
}

HICON HeadlessBackend::windowIcon(HWND wnd, IconSize size) const {
    const HeadlessWindow* window = find(wnd);
    if (window == nullptr) {
        return nullptr;
    }
    return size == IconSize::Big ? window->bigIcon : window->smallIcon;
}

void HeadlessBackend::setStaticBitmap(HWND control, HBITMAP bitmap) {
    HeadlessWindow* window = find(control);
    if (window == nullptr) {
        return;
    }
    window->bitmap = bitmap;
    if (bitmap != nullptr) {
        const RECT& at = window->rect;
        place(control, RECT{at.left, at.top, at.left + bitmap->width, at.top + bitmap->height});
    }
}

// Report list view.

void HeadlessBackend::listInsertColumn(HWND list, int position, const std::string& heading,
                                       ColumnAlignment alignment, int width) {
    HeadlessWindow* window = find(list);
    if (window != nullptr && window->kind == ControlKind::ListView) {
        window->list.insertColumn(position, ListColumn{heading, alignment, width});
    }
}

int HeadlessBackend::listInsertItem(HWND list, int position, const std::string& text, int image) {
    HeadlessWindow* window = find(list);
    if (window == nullptr || window->kind != ControlKind::ListView) {
        return -1;
    }
    return window->list.insertItem(position, text, image);
}

bool HeadlessBackend::listSetItemText(HWND list, int item, int subItem, const std::string& text) {
    HeadlessWindow* window = find(list);
    return window != nullptr && window->kind == ControlKind::ListView &&
           window->list.setItemText(item, subItem, text);
}

void HeadlessBackend::listDeleteAllItems(HWND list) {
    HeadlessWindow* window = find(list);
    if (window != nullptr && window->kind == ControlKind::ListView) {
        window->list.deleteAllItems();
    }
}

int HeadlessBackend::listItemCount(HWND list) const {
    const HeadlessWindow* window = find(list);
    return window != nullptr ? window->list.itemCount() : 0;
}

std::string HeadlessBackend::listItemText(HWND list, int item, int subItem) const {
    const HeadlessWindow* window = find(list);
    return window != nullptr ? window->list.itemText(item, subItem) : std::string();
}

int HeadlessBackend::listItemImage(HWND list, int item) const {
    const HeadlessWindow* window = find(list);
    return window != nullptr ? window->list.itemImage(item) : -1;
}

void HeadlessBackend::listSetImageList(HWND list, HIMAGELIST images, ImageListKind kind) {
    HeadlessWindow* window = find(list);
    if (window != nullptr && window->kind == ControlKind::ListView) {
        window->list.setImageList(images, kind);
    }
}

// Progress bars.

void HeadlessBackend::setProgress(HWND bar, int position, int range) {
    HeadlessWindow* window = find(bar);
    if (window != nullptr && window->kind == ControlKind::ProgressBar) {
        window->progressRange = std::max(range, 0);
        window->progressPosition = std::clamp(position, 0, window->progressRange);
    }
}

// System menu.

HMENU HeadlessBackend::systemMenu(HWND wnd) {
    const HeadlessWindow* window = find(wnd);
    if (window == nullptr || window->systemMenu == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<HMENU>(window->systemMenu.get());
}

bool HeadlessBackend::appendMenu(HMENU menu, MenuEntryKind kind, UINT_PTR id,
                                 const std::string& text) {
    // Only menus of live windows are accepted; a stale handle is never dereferenced.
    for (const auto& [wnd, window] : m_live) {
        HeadlessMenu* candidate = window->systemMenu.get();
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

// Services.

bool HeadlessBackend::setClipboardText(HWND owner, const std::string& bytes) {
    if (clipboardFails) {
        return false;
    }
    clipboardText = bytes;
    clipboardHasText = true;
    clipboardOwner = owner;
    ++clipboardWrites;
    return true;
}

bool HeadlessBackend::saveFileDialog(HWND owner, OverwritePrompt prompt, std::string& path) {
    SaveDialogRecord shown{owner, prompt, false, {}};
    // With no answer queued the user cancels, so a test never waits on the dialog.
    if (!m_saveAnswers.empty()) {
        std::optional<std::string> answer = std::move(m_saveAnswers.front());
        m_saveAnswers.pop_front();
        if (answer.has_value()) {
            shown.chosen = true;
            shown.path = *answer;
            path = *answer;
        }
    }
    saveDialogs.push_back(shown);
    return shown.chosen;
}

void HeadlessBackend::messageBox(HWND owner, const std::string& text, const std::string& caption,
                                 MessageBoxKind kind) {
    messageBoxes.push_back(MessageBoxRecord{owner, text, caption, kind});
}

bool HeadlessBackend::registerDropTarget(HWND wnd, COleDropTarget* target) {
    HeadlessWindow* window = find(wnd);
    if (window == nullptr || target == nullptr || window->dropTarget != nullptr) {
        return false;
    }
    window->dropTarget = target;
    return true;
}

void HeadlessBackend::revokeDropTarget(HWND wnd) {
    if (HeadlessWindow* window = find(wnd)) {
        window->dropTarget = nullptr;
    }
}

// Bookkeeping.

HeadlessWindow* HeadlessBackend::find(HWND wnd) const {
    if (wnd == nullptr) {
        return nullptr;
    }
    const auto at = m_live.find(wnd);
    return at != m_live.end() ? at->second : nullptr;
}

HeadlessWindow* HeadlessBackend::findControl(HWND dialog, int id) const {
    const HeadlessWindow* window = find(dialog);
    if (window == nullptr) {
        return nullptr;
    }
    for (const HWND child : window->children) {
        HeadlessWindow* control = find(child);
        if (control->id == id) {
            return control;
        }
    }
    return nullptr;
}

HWND HeadlessBackend::newWindow(std::unique_ptr<HeadlessWindow> window) {
    const HWND wnd = reinterpret_cast<HWND>(window.get());
    m_live.emplace(wnd, window.get());
    m_records.push_back(std::move(window));
    return wnd;
}

void HeadlessBackend::unlink(HWND wnd, HeadlessWindow& window) {
    if (HeadlessWindow* parent = find(window.parent)) {
        erase(parent->children, wnd);
        erase(parent->zOrder, wnd);
        if (parent->focus == wnd) {
            parent->focus = nullptr;
        }
        return;
    }
    erase(m_topLevel, wnd);
    erase(m_topZOrder, wnd);
}

std::string HeadlessBackend::describe(const HeadlessWindow& window) const {
    return (window.isDialog ? "dialog " : "control ") + std::to_string(window.id);
}

void HeadlessBackend::logEvent(const char* what, const HeadlessWindow& window) {
    events.push_back(std::string(what) + " " + describe(window));
}

LRESULT HeadlessBackend::send(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
    sentMessages.push_back(SentMessage{wnd, message, wParam, lParam});
    return ::SendMessage(wnd, message, wParam, lParam);
}

void HeadlessBackend::place(HWND wnd, const RECT& rect) {
    HeadlessWindow* window = find(wnd);
    const bool resized =
        rect.width() != window->rect.width() || rect.height() != window->rect.height();
    window->rect = rect;
    if (resized) {
        const RECT client = window->clientRect();
        send(wnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(UINT(client.right), UINT(client.bottom)));
    }
}

void HeadlessBackend::minimizeNow(HWND wnd) {
    HeadlessWindow* window = find(wnd);
    if (window->iconic || !window->isDialog) {
        return;
    }
    window->restoredRect = window->rect;
    const SIZE parked = window->outerSizeFor(std::max(0, int(minimizedClientSize.cx)),
                                             std::max(0, int(minimizedClientSize.cy)));
    window->rect = RECT{PARKED, PARKED, PARKED + parked.cx, PARKED + parked.cy};
    window->iconic = true;
    window->visible = true;
    logEvent("minimize", *window);
    send(wnd, WM_SIZE, SIZE_MINIMIZED, 0);
}

void HeadlessBackend::restoreNow(HWND wnd) {
    HeadlessWindow* window = find(wnd);
    window->rect = window->restoredRect;
    window->iconic = false;
    window->visible = true;
    logEvent("restore", *window);
    const RECT client = window->clientRect();
    send(wnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(UINT(client.right), UINT(client.bottom)));
}
