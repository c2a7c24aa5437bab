#pragma once

#include "platform/win_types.h"

/// Which of a window's two icons: the big one (task switcher, minimised window) or the small
/// one (caption).
enum class IconSize { Small, Big };

/// Painting and the pictures windows show.
class Drawing {
public:
    /// A big icon's width and height in pixels, on every backend.
    static constexpr int ICON_SIZE = 32;

    virtual ~Drawing() = default;

    /// Turns repainting of wnd off while its controls are rearranged, and on again.
    virtual void setRedraw(HWND wnd, bool redraw) = 0;
    /// Asks for wnd to be repainted (WM_PAINT) when the window system gets to it.
    virtual void invalidate(HWND wnd) = 0;
    /// Starts a paint cycle of wnd; the device context is valid until endPaint.
    virtual HDC beginPaint(HWND wnd) = 0;
    virtual void endPaint(HWND wnd, HDC dc) = 0;
    /// Draws icon at (x, y) of the painted window's client area, at ICON_SIZE.
    virtual void drawIcon(HDC dc, int x, int y, HICON icon) = 0;
    virtual void setIcon(HWND wnd, IconSize size, HICON icon) = 0;
    virtual HICON windowIcon(HWND wnd, IconSize size) const = 0;
    /// Shows bitmap in a static control, which takes the bitmap's size, keeping its top-left.
    virtual void setStaticBitmap(HWND control, HBITMAP bitmap) = 0;
};
