#pragma once

#include <string>

#include "platform/resources.h"
#include "platform/win_types.h"

/// The controls of a dialog, window texts, check states and the other state a control shows.
class Controls {
public:
    virtual ~Controls() = default;

    /// Creates a hidden or visible (WS_VISIBLE in style) child control of dialog parent; rect in
    /// parent client pixels.
    virtual HWND createControl(HWND parent, ControlKind kind, const std::string& text, DWORD style,
                               const RECT& rect, int id) = 0;
    /// The control of dialog with id, or null.
    virtual HWND dialogItem(HWND dialog, int id) const = 0;
    /// The parent window of a child control; null for a top-level window.
    virtual HWND parentOf(HWND wnd) const = 0;
    /// The control created after this one in the same parent (the tab order), or null.
    virtual HWND nextControl(HWND control) const = 0;
    virtual ControlKind controlKind(HWND control) const = 0;
    virtual DWORD controlStyle(HWND control) const = 0; ///< its WS_*, BS_*, SS_* bits

    /// A dialog's caption or a control's text, byte for byte.
    virtual void setWindowText(HWND wnd, const std::string& text) = 0;
    virtual std::string windowText(HWND wnd) const = 0;
    /// The name assistive technology (a screen reader) gives the control, in place of one it
    /// derives from the control's text.
    virtual void setAccessibleName(HWND control, const std::string& name) = 0;
    /// Whether a radio button is checked. Checking one from here leaves its group alone.
    virtual bool isChecked(HWND button) const = 0;
    virtual void setChecked(HWND button, bool checked) = 0;
    /// Shows that position of range parts of some work are done (0 <= position <= range); a
    /// range of 0 shows work whose length is not known.
    virtual void setProgress(HWND bar, int position, int range) = 0;
};
