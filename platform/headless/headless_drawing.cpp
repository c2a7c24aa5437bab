#include "platform/headless/headless_drawing.h"

#include "platform/headless/headless_desktop.h"

void HeadlessDrawing::setRedraw(HWND wnd, bool redraw) {
    if (HeadlessWindow* window = m_desktop.find(wnd)) {
        window->redraw = redraw;
        m_desktop.logEvent(redraw ? "redraw on" : "redraw off", *window);
    }
}

void HeadlessDrawing::invalidate(HWND wnd) {
    if (HeadlessWindow* window = m_desktop.find(wnd)) {
        ++window->invalidations;
        m_desktop.logEvent("invalidate", *window);
    }
}

HDC HeadlessDrawing::beginPaint(HWND wnd) {
    HeadlessWindow* window = m_desktop.find(wnd);
    if (window == nullptr) {
        return nullptr;
    }
    window->painting = true;
    // The device context is the window record itself; drawIcon finds the window through it.
    return reinterpret_cast<HDC>(window);
}

void HeadlessDrawing::endPaint(HWND wnd, HDC /*dc*/) {
    if (HeadlessWindow* window = m_desktop.find(wnd)) {
        window->painting = false;
    }
}

void HeadlessDrawing::drawIcon(HDC dc, int x, int y, HICON icon) {
    const HWND wnd = reinterpret_cast<HWND>(dc);
    const HeadlessWindow* window = m_desktop.find(wnd);
    if (window != nullptr && window->painting) {
        m_paintedIcons.push_back(PaintedIcon{wnd, x, y, icon});
    }
}

void HeadlessDrawing::setIcon(HWND wnd, IconSize size, HICON icon) {
    if (HeadlessWindow* window = m_desktop.find(wnd)) {
        (size == IconSize::Big ? window->bigIcon : window->smallIcon) = icon;
    }
}

HICON HeadlessDrawing::windowIcon(HWND wnd, IconSize size) const {
    const HeadlessWindow* window = m_desktop.find(wnd);
    if (window == nullptr) {
        return nullptr;
    }
    return size == IconSize::Big ? window->bigIcon : window->smallIcon;
}

void HeadlessDrawing::setStaticBitmap(HWND control, HBITMAP bitmap) {
    HeadlessWindow* window = m_desktop.find(control);
    if (window == nullptr) {
        return;
    }
    window->bitmap = bitmap;
    if (bitmap != nullptr) {
        const RECT& at = window->rect;
        m_desktop.place(control,
                        RECT{at.left, at.top, at.left + bitmap->width, at.top + bitmap->height});
    }
}
