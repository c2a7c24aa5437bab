#include "platform/headless/headless_desktop.h"

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

int HeadlessDesktop::dluToPixelsX(int x) {
    return mulDivRound(x, 6, 4);
}

int HeadlessDesktop::dluToPixelsY(int y) {
    return mulDivRound(y, 13, 8);
}

HeadlessDesktop::HeadlessDesktop() = default;
HeadlessDesktop::~HeadlessDesktop() = default;

// The windows.

HeadlessWindow* HeadlessDesktop::find(HWND wnd) const {
    if (wnd == nullptr) {
        return nullptr;
    }
    const auto at = m_live.find(wnd);
    return at != m_live.end() ? at->second : nullptr;
}

HeadlessWindow* HeadlessDesktop::findControl(HWND dialog, int id) const {
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

HWND HeadlessDesktop::handle(const HeadlessWindow& window) {
    return reinterpret_cast<HWND>(const_cast<HeadlessWindow*>(&window));
}

HWND HeadlessDesktop::addDialog(std::unique_ptr<HeadlessWindow> window) {
    const HWND wnd = keep(std::move(window));
    m_topLevel.push_back(wnd);
    m_topZOrder.insert(m_topZOrder.begin(), wnd);
    return wnd;
}

HWND HeadlessDesktop::addControl(HWND parent, ControlKind kind, const std::string& text,
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
    const HWND wnd = keep(std::move(window));
    // Controls stack in creation order: the first one made is the topmost.
    owner->children.push_back(wnd);
    owner->zOrder.push_back(wnd);
    return wnd;
}

HWND HeadlessDesktop::keep(std::unique_ptr<HeadlessWindow> window) {
    const HWND wnd = handle(*window);
    m_live.emplace(wnd, window.get());
    m_records.push_back(std::move(window));
    return wnd;
}

void HeadlessDesktop::remove(HWND wnd) {
    HeadlessWindow* window = find(wnd);
    if (window == nullptr) {
        return;
    }
    if (HeadlessWindow* parent = find(window->parent)) {
        erase(parent->children, wnd);
        erase(parent->zOrder, wnd);
        if (parent->focus == wnd) {
            parent->focus = nullptr;
        }
    } else {
        erase(m_topLevel, wnd);
        erase(m_topZOrder, wnd);
    }
    window->alive = false;
    window->dropTarget = nullptr;
    // A modal loop whose window is gone must not wait for an endModal that cannot come.
    window->modalEnded = true;
    m_live.erase(wnd);
}

std::vector<HWND>& HeadlessDesktop::stacking(HWND parent) {
    HeadlessWindow* window = find(parent);
    return window != nullptr ? window->zOrder : m_topZOrder;
}

bool HeadlessDesktop::isShown(HWND wnd) const {
    const HeadlessWindow* window = find(wnd);
    if (window == nullptr) {
        return false;
    }
    for (; window != nullptr; window = find(window->parent)) {
        if (!window->visible) {
            return false;
        }
    }
    return true;
}

// Changes.

LRESULT HeadlessDesktop::send(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
    m_sent.push_back(SentMessage{wnd, message, wParam, lParam});
    return ::SendMessage(wnd, message, wParam, lParam);
}

void HeadlessDesktop::place(HWND wnd, const RECT& rect) {
    HeadlessWindow* window = find(wnd);
    const bool resized =
        rect.width() != window->rect.width() || rect.height() != window->rect.height();
    window->rect = rect;
    if (resized) {
        const RECT client = window->clientRect();
        send(wnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(UINT(client.right), UINT(client.bottom)));
    }
}

void HeadlessDesktop::logEvent(const char* what, const HeadlessWindow& window) {
    m_events.push_back(std::string(what) + " " + describe(window));
}

std::string HeadlessDesktop::describe(const HeadlessWindow& window) {
    return (window.isDialog ? "dialog " : "control ") + std::to_string(window.id);
}

// What tests read.

HWND HeadlessDesktop::findDialog(int templateId) const {
    for (auto it = m_topLevel.rbegin(); it != m_topLevel.rend(); ++it) {
        if (find(*it)->id == templateId) {
            return *it;
        }
    }
    return nullptr;
}

std::vector<HWND> HeadlessDesktop::zOrder(HWND parent) const {
    if (parent == nullptr) {
        return m_topZOrder;
    }
    const HeadlessWindow* window = find(parent);
    return window != nullptr ? window->zOrder : std::vector<HWND>();
}

HWND HeadlessDesktop::focusedControl(HWND dialog) const {
    const HeadlessWindow* window = find(dialog);
    return window != nullptr ? window->focus : nullptr;
}

int HeadlessDesktop::sentCount(HWND wnd, UINT message) const {
    return int(std::count_if(m_sent.begin(), m_sent.end(), [&](const SentMessage& sent) {
        return sent.wnd == wnd && sent.message == message;
    }));
}
