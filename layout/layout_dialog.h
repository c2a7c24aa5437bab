#pragma once

#include "layout/layout_host.h"
#include "platform/dialog.h"
#include "platform/gdi.h"
#include "platform/static_ctrl.h"

/// Base of resizable dialogs: keeps the layout tree in step with the window's size, bounds the
/// size the user can drag to, shows a size grip in the bottom-right corner and gives the window
/// its small icon. A derived dialog builds its tree in OnInitDialog after calling this one's,
/// stores it in rootPane, calls updateLayout and overrides arrange to place it.
class LayoutDialog : public CDialog, public LayoutHost {
public:
    /// section: the profile section that keeps the placement, null or empty for none.
    LayoutDialog(UINT templateId, CWnd* parent, const char* section, bool showGrip);
    ~LayoutDialog() override;

    /// Saves the placement (with a section), deletes the tree, then destroys the window.
    BOOL DestroyWindow() override;
    /// Restores the placement (with a section), sets the small icon, creates the size grip.
    BOOL OnInitDialog() override;
    /// The client area; with the grip its bottom leaves the grip's height instead of marginY.
    RECT layoutArea() override;

protected:
    void OnSize(UINT type, int cx, int cy);
    void OnGetMinMaxInfo(MINMAXINFO* info);

    CStatic sizeGrip;   ///< shows the grip image; exists only when showGrip and creation succeeded
    CBitmap gripBitmap; ///< the system's size-grip bitmap
    bool showGrip;

private:
    /// Moves the grip, keeping its size, so that its bottom-right corner is the client area's.
    bool anchorGrip();

    DECLARE_MESSAGE_MAP()
};
