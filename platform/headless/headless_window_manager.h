#pragma once

#include "platform/window_manager.h"

class HeadlessDesktop;

/// The headless windows and their geometry. A dialog has a 4-pixel sizing frame and an 18-pixel
/// caption. A move that changes a window's size sends WM_SIZE before it returns; a move to the
/// same size sends none. The program's moves are not clamped to the tracking limits, and a
/// minimised window is parked off the screen, keeping the place it is restored to.
class HeadlessWindowManager : public WindowManager {
public:
    explicit HeadlessWindowManager(HeadlessDesktop& desktop) : m_desktop(desktop) {}

    HWND createDialog(const DialogTemplate& tmpl, HWND owner) override;
    void destroyWindow(HWND wnd) override;
    bool isWindow(HWND wnd) const override;
    SIZE screenSize() const override;

    RECT windowRect(HWND wnd) const override;
    RECT clientRect(HWND wnd) const override;
    POINT clientOrigin(HWND wnd) const override;
    void moveWindow(HWND wnd, int x, int y, int cx, int cy) override;
    void setZOrder(HWND wnd, ZOrder where) override;

    void showWindow(HWND wnd, ShowCommand command) override;
    bool isVisible(HWND wnd) const override;
    bool isIconic(HWND wnd) const override;
    void enableWindow(HWND wnd, bool enable) override;
    bool isEnabled(HWND wnd) const override;

private:
    void minimizeNow(HWND wnd);
    void restoreNow(HWND wnd);

    HeadlessDesktop& m_desktop;
};
