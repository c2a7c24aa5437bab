#include "platform/win_api.h"

#include "platform/backend.h"
#include "platform/wnd.h"

LRESULT SendMessage(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!wnd || !backend().windows().isWindow(wnd)) {
        return 0;
    }
    if (CWnd* object = CWnd::FromHandlePermanent(wnd)) {
        return object->WindowProc(message, wParam, lParam);
    }
    return DefWindowProc(wnd, message, wParam, lParam);
}

LRESULT DefWindowProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Backend& b = backend();
    switch (message) {
    case WM_SYSCOMMAND:
        switch (UINT(wParam) & 0xFFF0) {
        case SC_CLOSE:
            return SendMessage(wnd, WM_CLOSE);
        case SC_MINIMIZE:
            b.windows().showWindow(wnd, ShowCommand::Minimize);
            return 0;
        case SC_RESTORE:
            b.windows().showWindow(wnd, ShowCommand::Restore);
            return 0;
        default:
            return 0;
        }
    case WM_CLOSE:
        // Every top-level window here is a dialog: closing it means cancelling it.
        return SendMessage(wnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    case WM_SETICON: {
        const IconSize size = wParam == ICON_BIG ? IconSize::Big : IconSize::Small;
        HICON previous = b.drawing().windowIcon(wnd, size);
        b.drawing().setIcon(wnd, size, reinterpret_cast<HICON>(lParam));
        return reinterpret_cast<LRESULT>(previous);
    }
    case WM_SETREDRAW:
        b.drawing().setRedraw(wnd, wParam != 0);
        return 0;
    case WM_SETTEXT:
        b.controls().setWindowText(wnd, lParam ? reinterpret_cast<const char*>(lParam) : "");
        return TRUE;
    default:
        // WM_SIZE, WM_PAINT, WM_GETMINMAXINFO, WM_QUERYDRAGICON and the rest need nothing more:
        // the backend draws its own windows, and a null drag icon means the default one.
        return 0;
    }
}

BOOL IsWindow(HWND wnd) {
    return wnd && backend().windows().isWindow(wnd);
}

BOOL IsWindowVisible(HWND wnd) {
    return IsWindow(wnd) && backend().windows().isVisible(wnd);
}

BOOL IsIconic(HWND wnd) {
    return IsWindow(wnd) && backend().windows().isIconic(wnd);
}

BOOL GetWindowRect(HWND wnd, RECT* rect) {
    if (!IsWindow(wnd) || !rect) {
        return FALSE;
    }
    *rect = backend().windows().windowRect(wnd);
    return TRUE;
}

BOOL GetClientRect(HWND wnd, RECT* rect) {
    if (!IsWindow(wnd) || !rect) {
        return FALSE;
    }
    *rect = backend().windows().clientRect(wnd);
    return TRUE;
}

// The backends repaint whatever a move uncovers; there is nothing to leave unpainted.
BOOL MoveWindow(HWND wnd, int x, int y, int width, int height, BOOL) {
    if (!IsWindow(wnd)) {
        return FALSE;
    }
    backend().windows().moveWindow(wnd, x, y, width, height);
    return TRUE;
}

HWND GetDlgItem(HWND dialog, int id) {
    return IsWindow(dialog) ? backend().controls().dialogItem(dialog, id) : nullptr;
}

// The one table of system metrics: the screen is the backend's, the icon size the same on every
// backend.
int GetSystemMetrics(int index) {
    switch (index) {
    case SM_CXSCREEN:
        return backend().windows().screenSize().cx;
    case SM_CYSCREEN:
        return backend().windows().screenSize().cy;
    case SM_CXICON:
    case SM_CYICON:
        return Drawing::ICON_SIZE;
    default:
        return 0;
    }
}

std::uint64_t GetTickCount64() {
    return backend().clock().tickCount();
}
