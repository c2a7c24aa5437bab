#include "platform/win_api.h"

#include "platform/backend.h"
#include "platform/wnd.h"

LRESULT SendMessage(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!wnd || !backend().isWindow(wnd)) {
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
            b.showWindow(wnd, SW_MINIMIZE);
            return 0;
        case SC_RESTORE:
            b.showWindow(wnd, SW_RESTORE);
            return 0;
        default:
            return 0;
        }
    case WM_CLOSE:
        // Every top-level window here is a dialog: closing it means cancelling it.
        return SendMessage(wnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    case WM_SETICON: {
        const bool big = wParam == ICON_BIG;
        HICON previous = b.windowIcon(wnd, big);
        b.setIcon(wnd, big, reinterpret_cast<HICON>(lParam));
        return reinterpret_cast<LRESULT>(previous);
    }
    case WM_SETREDRAW:
        b.setRedraw(wnd, wParam != 0);
        return 0;
    case WM_SETTEXT:
        b.setWindowText(wnd, lParam ? reinterpret_cast<const char*>(lParam) : "");
        return TRUE;
    default:
        // WM_SIZE, WM_PAINT, WM_GETMINMAXINFO, WM_QUERYDRAGICON and the rest need nothing more:
        // the backend draws its own windows, and a null drag icon means the default one.
        return 0;
    }
}

BOOL IsWindow(HWND wnd) {
    return wnd && backend().isWindow(wnd);
}

BOOL IsWindowVisible(HWND wnd) {
    return IsWindow(wnd) && backend().isVisible(wnd);
}

BOOL IsIconic(HWND wnd) {
    return IsWindow(wnd) && backend().isIconic(wnd);
}

BOOL GetWindowRect(HWND wnd, RECT* rect) {
    if (!IsWindow(wnd) || !rect) {
        return FALSE;
    }
    *rect = backend().windowRect(wnd);
    return TRUE;
}

BOOL GetClientRect(HWND wnd, RECT* rect) {
    if (!IsWindow(wnd) || !rect) {
        return FALSE;
    }
    *rect = backend().clientRect(wnd);
    return TRUE;
}

BOOL MoveWindow(HWND wnd, int x, int y, int width, int height, BOOL repaint) {
    if (!IsWindow(wnd)) {
        return FALSE;
    }
    backend().moveWindow(wnd, x, y, width, height, repaint != 0);
    return TRUE;
}

HWND GetDlgItem(HWND dialog, int id) {
    return IsWindow(dialog) ? backend().dialogItem(dialog, id) : nullptr;
}

int GetSystemMetrics(int index) {
    return backend().systemMetric(index);
}

std::uint64_t GetTickCount64() {
    return backend().tickCount();
}
