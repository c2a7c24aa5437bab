#include "layout/layout_host.h"

#include "platform/win_api.h"
#include "platform/win_app.h"
#include "platform/wnd.h"

namespace {

bool windowExists(const CWnd* wnd) {
    return wnd && ::IsWindow(wnd->GetSafeHwnd());
}

bool hasName(const char* section) {
    return section && section[0] != '\0';
}

} // namespace

LayoutHost::LayoutHost(CWnd* owner, const char* section)
    : owner(owner), profileSection(section ? section : ""), marginX(5), marginY(5) {}

LayoutHost::~LayoutHost() = default;

RECT LayoutHost::layoutArea() {
    RECT area;
    if (windowExists(owner)) {
        owner->GetClientRect(&area);
    }
    return area;
}

void LayoutHost::arrange(RECT) {}

SIZE LayoutHost::frameSize() {
    const RECT area = layoutArea();
    RECT outer;
    owner->GetWindowRect(&outer);
    SIZE frame;
    frame.cx = (outer.right - area.right) - (outer.left + area.left);
    frame.cy = (outer.bottom - area.bottom) - (outer.top + area.top);
    return frame;
}

void LayoutHost::updateLayout() {
    if (!rootPane || !windowExists(owner)) {
        return;
    }
    // 1. The outer size that holds the tree's minimum and maximum with the margins and the frame.
    const SIZE frame = frameSize();
    const int minW = frame.cx + rootPane->minWidth() + 2 * marginX;
    const int minH = frame.cy + rootPane->minHeight() + 2 * marginY;
    int maxW = rootPane->maxWidth();
    if (maxW != NO_LIMIT) {
        maxW += 2 * marginX + frame.cx;
        maxW = maxW > minW ? maxW : minW;
    }
    int maxH = rootPane->maxHeight();
    if (maxH != NO_LIMIT) {
        maxH += 2 * marginY + frame.cy;
        maxH = maxH > minH ? maxH : minH;
    }

    // 2. Correct the window, keeping its top-left corner, and move it even when nothing changed.
    // A change of size sends WM_SIZE, which lays out again inside this move; that inner call
    // finds the window within bounds, so the nesting ends there.
    RECT outer;
    owner->GetWindowRect(&outer);
    if (outer.right - outer.left < minW) {
        outer.right = outer.left + minW;
    }
    if (outer.bottom - outer.top < minH) {
        outer.bottom = outer.top + minH;
    }
    if (maxW != NO_LIMIT && outer.right - outer.left > maxW) {
        outer.right = outer.left + maxW;
    }
    if (maxH != NO_LIMIT && outer.bottom - outer.top > maxH) {
        outer.bottom = outer.top + maxH;
    }
    owner->MoveWindow(&outer, TRUE);

    // 3. Lay out in the area as it is after the move, less the margins. A visible window draws
    // nothing while its controls move and is repainted once afterwards.
    const RECT area = layoutArea();
    const RECT inner{area.left + marginX, area.top + marginY, area.right - marginX,
                     area.bottom - marginY};
    if (owner->IsWindowVisible()) {
        owner->SendMessage(WM_SETREDRAW, FALSE);
        arrange(inner);
        owner->SendMessage(WM_SETREDRAW, TRUE);
    } else {
        arrange(inner);
    }
    owner->InvalidateRect(nullptr, TRUE);
}

bool LayoutHost::savePlacement(const char* section) {
    CWinApp* app = AfxGetApp();
    if (!hasName(section) || !windowExists(owner) || !app) {
        return true;
    }
    RECT outer;
    owner->GetWindowRect(&outer);
    // Where the system parks minimised windows, or a window with no area: keep the old values.
    if (outer.right < 0 || outer.bottom < 0 || outer.bottom - outer.top <= 0 ||
        outer.right - outer.left <= 0) {
        return true;
    }
    app->WriteProfileInt(section, "PosX", outer.left);
    app->WriteProfileInt(section, "PosY", outer.top);
    app->WriteProfileInt(section, "SizeX", outer.right - outer.left);
    app->WriteProfileInt(section, "SizeY", outer.bottom - outer.top);
    return true;
}

bool LayoutHost::loadPlacement(const char* section) {
    CWinApp* app = AfxGetApp();
    if (!hasName(section) || !windowExists(owner) || !app) {
        return true;
    }
    RECT outer;
    owner->GetWindowRect(&outer);
    // A missing size keeps the right and bottom edges where they are, so the defaults are
    // taken from the edges just read.
    const int left = app->GetProfileInt(section, "PosX", outer.left);
    const int top = app->GetProfileInt(section, "PosY", outer.top);
    const int width = app->GetProfileInt(section, "SizeX", outer.right - left);
    const int height = app->GetProfileInt(section, "SizeY", outer.bottom - top);
    owner->MoveWindow(left, top, width, height, TRUE);
    return true;
}
