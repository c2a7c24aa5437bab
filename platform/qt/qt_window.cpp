#include "platform/qt/qt_window.h"

#include "platform/qt/qt_drop_site.h"
#include "platform/qt/qt_system_menu.h"
#include "platform/win_api.h"

namespace {
int dispatchDepth = 0;
}

QtWindow::QtWindow() = default;
QtWindow::~QtWindow() = default;

LRESULT QtWindow::send(UINT message, WPARAM wParam, LPARAM lParam) {
    Dispatch dispatch;
    return ::SendMessage(handle(), message, wParam, lParam);
}

bool QtWindow::dispatching() {
    return dispatchDepth > 0;
}

QtWindow::Dispatch::Dispatch() {
    ++dispatchDepth;
}

QtWindow::Dispatch::~Dispatch() {
    --dispatchDepth;
}

QtWindow* QtWindow::item(int wantedId) const {
    for (QtWindow* control : controls) {
        if (control->id == wantedId) {
            return control;
        }
    }
    return nullptr;
}

std::vector<QtWindow*> QtWindow::radioGroup() const {
    std::vector<QtWindow*> group;
    if (parent == nullptr) {
        return group;
    }
    const std::vector<QtWindow*>& siblings = parent->controls;
    std::size_t at = 0;
    while (at < siblings.size() && siblings[at] != this) {
        ++at;
    }
    if (at == siblings.size()) {
        return group;
    }
    std::size_t first = at;
    while (first > 0 && (siblings[first]->style & WS_GROUP) == 0) {
        --first;
    }
    std::size_t last = at + 1;
    while (last < siblings.size() && (siblings[last]->style & WS_GROUP) == 0) {
        ++last;
    }
    for (std::size_t i = first; i < last; ++i) {
        if (siblings[i]->kind == ControlKind::RadioButton) {
            group.push_back(siblings[i]);
        }
    }
    return group;
}
