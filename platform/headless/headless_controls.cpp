#include "platform/headless/headless_controls.h"

#include <algorithm>

#include "platform/headless/headless_desktop.h"

HWND HeadlessControls::createControl(HWND parent, ControlKind kind, const std::string& text,
                                     DWORD style, const RECT& rect, int id) {
    return m_desktop.addControl(parent, kind, text, style, rect, id);
}

HWND HeadlessControls::dialogItem(HWND dialog, int id) const {
    const HeadlessWindow* control = m_desktop.findControl(dialog, id);
    return control != nullptr ? HeadlessDesktop::handle(*control) : nullptr;
}

HWND HeadlessControls::parentOf(HWND wnd) const {
    const HeadlessWindow* window = m_desktop.find(wnd);
    return window != nullptr ? window->parent : nullptr;
}

HWND HeadlessControls::nextControl(HWND control) const {
    const HeadlessWindow* window = m_desktop.find(control);
    const HeadlessWindow* parent = window != nullptr ? m_desktop.find(window->parent) : nullptr;
    if (parent == nullptr) {
        return nullptr;
    }
    const auto at = std::find(parent->children.begin(), parent->children.end(), control);
    return at + 1 < parent->children.end() ? *(at + 1) : nullptr;
}

ControlKind HeadlessControls::controlKind(HWND control) const {
    const HeadlessWindow* window = m_desktop.find(control);
    return window != nullptr ? window->kind : ControlKind::PushButton;
}

DWORD HeadlessControls::controlStyle(HWND control) const {
    const HeadlessWindow* window = m_desktop.find(control);
    return window != nullptr ? window->style : 0;
}

void HeadlessControls::setWindowText(HWND wnd, const std::string& text) {
    if (HeadlessWindow* window = m_desktop.find(wnd)) {
        window->text = text;
    }
}

std::string HeadlessControls::windowText(HWND wnd) const {
    const HeadlessWindow* window = m_desktop.find(wnd);
    return window != nullptr ? window->text : std::string();
}

void HeadlessControls::setAccessibleName(HWND control, const std::string& name) {
    if (HeadlessWindow* window = m_desktop.find(control)) {
        window->accessibleName = name;
    }
}

bool HeadlessControls::isChecked(HWND button) const {
    const HeadlessWindow* window = m_desktop.find(button);
    return window != nullptr && window->checked;
}

void HeadlessControls::setChecked(HWND button, bool checked) {
    if (HeadlessWindow* window = m_desktop.find(button)) {
        window->checked = checked;
    }
}

void HeadlessControls::setProgress(HWND bar, int position, int range) {
    HeadlessWindow* window = m_desktop.find(bar);
    if (window != nullptr && window->kind == ControlKind::ProgressBar) {
        window->progressRange = std::max(range, 0);
        window->progressPosition = std::clamp(position, 0, window->progressRange);
    }
}
