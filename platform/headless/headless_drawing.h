#pragma once

#include <vector>

#include "platform/drawing.h"
#include "platform/headless/headless_records.h"

class HeadlessDesktop;

/// Headless painting: nothing is drawn, but redraw switches and invalidations go to the log of
/// changes, and the icons drawn inside a paint cycle are recorded.
class HeadlessDrawing : public Drawing {
public:
    explicit HeadlessDrawing(HeadlessDesktop& desktop) : m_desktop(desktop) {}

    void setRedraw(HWND wnd, bool redraw) override;
    void invalidate(HWND wnd) override;
    HDC beginPaint(HWND wnd) override;
    void endPaint(HWND wnd, HDC dc) override;
    void drawIcon(HDC dc, int x, int y, HICON icon) override;
    void setIcon(HWND wnd, IconSize size, HICON icon) override;
    HICON windowIcon(HWND wnd, IconSize size) const override;
    void setStaticBitmap(HWND control, HBITMAP bitmap) override;

    /// Icons drawn while painting, in order.
    const std::vector<PaintedIcon>& paintedIcons() const { return m_paintedIcons; }

private:
    HeadlessDesktop& m_desktop;
    std::vector<PaintedIcon> m_paintedIcons;
};
