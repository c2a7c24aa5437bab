#pragma once

#include "platform/controls.h"

class HeadlessDesktop;

/// The headless controls: their records keep text, check state and progress for tests to read.
class HeadlessControls : public Controls {
public:
    explicit HeadlessControls(HeadlessDesktop& desktop) : m_desktop(desktop) {}

    HWND createControl(HWND parent, ControlKind kind, const std::string& text, DWORD style,
                       const RECT& rect, int id) override;
    HWND dialogItem(HWND dialog, int id) const override;
    HWND parentOf(HWND wnd) const override;
    HWND nextControl(HWND control) const override;
    ControlKind controlKind(HWND control) const override;
    DWORD controlStyle(HWND control) const override;

    void setWindowText(HWND wnd, const std::string& text) override;
    std::string windowText(HWND wnd) const override;
    void setAccessibleName(HWND control, const std::string& name) override;
    bool isChecked(HWND button) const override;
    void setChecked(HWND button, bool checked) override;
    void setProgress(HWND bar, int position, int range) override;

private:
    HeadlessDesktop& m_desktop;
};
