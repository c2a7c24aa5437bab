#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/headless/headless_combo_box.h"
#include "platform/headless/headless_list_view.h"
#include "platform/resources.h"
#include "platform/system_menus.h"
#include "platform/win_types.h"

class COleDropTarget;

/// One entry of a system menu; a separator has ID 0 and no text.
struct MenuEntry {
    MenuEntryKind kind = MenuEntryKind::Command;
    UINT_PTR id = 0;
    std::string text;
    bool checked = false;
};

/// A window's system menu. Its address is the HMENU handed out for it.
struct HeadlessMenu {
    HWND owner = nullptr;
    std::vector<MenuEntry> entries;
};

/// Everything the headless window system knows about one window: a top-level dialog or a child
/// control. Its address is the window's HWND. Records outlive their windows (alive turns false)
/// so that stale handles can still be recognised as destroyed.
struct HeadlessWindow {
    /// Border of a top-level window's sizing frame, and the caption below its top border.
    static constexpr int FRAME = 4;
    static constexpr int CAPTION = 18;

    bool alive = true;
    bool isDialog = false;                      ///< a framed top-level dialog, not a control
    ControlKind kind = ControlKind::PushButton; ///< of a control; meaningless for a dialog
    int id = 0;                                 ///< control ID, or a dialog's template ID
    DWORD style = 0;
    DWORD exStyle = 0;
    std::string text;
    std::string accessibleName; ///< as set for assistive technology; empty when never set
    HWND parent = nullptr;      ///< of a control
    HWND owner = nullptr;       ///< of a dialog
    std::vector<HWND> children; ///< live controls in creation (tab) order
    std::vector<HWND> zOrder;   ///< the same controls, topmost first

    RECT rect;         ///< outer rectangle: screen for a dialog, parent client for a control
    RECT restoredRect; ///< while minimised: the rectangle to restore
    bool visible = false;
    bool enabled = true;
    bool iconic = false;

    bool redraw = true; ///< false between setRedraw(false) and setRedraw(true)
    int invalidations = 0;
    bool painting = false; ///< between beginPaint and endPaint

    bool checked = false; ///< of a radio button
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;
    HBITMAP bitmap = nullptr; ///< of a static bitmap control
    HeadlessListView list;    ///< of a list view control
    HeadlessComboBox combo;   ///< of a drop-down list
    int progressPosition = 0; ///< of a progress bar
    int progressRange = 100;  ///< of a progress bar; 0: work of unknown length
    std::unique_ptr<HeadlessMenu> systemMenu;
    COleDropTarget* dropTarget = nullptr;
    HWND focus = nullptr; ///< of a dialog: the control with the keyboard focus

    bool working = false;    ///< of a dialog: long work runs (beginWork)
    int stopId = 0;          ///< of a working dialog: the control that may still be pressed
    bool modalEnded = false; ///< endModal was called (also before the loop started)
    int modalResult = -1;

    /// The client area's offset from the outer top-left corner.
    POINT clientOffset() const;
    /// The client rectangle: left and top 0.
    RECT clientRect() const;
    /// The outer size that gives a client area of width × height.
    SIZE outerSizeFor(int width, int height) const;
    /// A push button or radio button that the user can press.
    bool isButton() const {
        return !isDialog && (kind == ControlKind::PushButton || kind == ControlKind::RadioButton);
    }
};
