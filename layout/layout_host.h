#pragma once

#include <memory>

#include "layout/layout_pane.h"
#include "platform/win_types.h"

class CWnd;

/// The part of a resizable window that owns its layout tree: it bounds the window's size by the
/// tree's limits, lays the tree out and can keep the window's placement in the profile.
class LayoutHost {
public:
    /// A null or empty section switches the placement memory off.
    LayoutHost(CWnd* owner, const char* section);
    virtual ~LayoutHost();
    LayoutHost(const LayoutHost&) = delete;
    LayoutHost& operator=(const LayoutHost&) = delete;

    /// The area the layout may use before the margins, in the owner's client coordinates.
    virtual RECT layoutArea();
    /// Lays the tree out in rect; this base does nothing, a window that shows a layout overrides
    /// it.
    virtual void arrange(RECT rect);

    /// Fits the window to the tree's minimum and maximum, keeping its top-left corner, and lays
    /// the tree out in the layout area less the margins. Does nothing without a tree.
    void updateLayout();
    /// Writes the owner's outer position and size under section; skipped for an empty section,
    /// a missing window or a rectangle that is degenerate or off the screen. Always true.
    bool savePlacement(const char* section);
    /// Moves the owner to the position and size stored under section; what is missing keeps its
    /// current value. Nothing happens for an empty section. Always true.
    bool loadPlacement(const char* section);

    CWnd* owner;                          ///< the window laid out; not owned
    std::unique_ptr<LayoutPane> rootPane; ///< the tree; null until the window builds it
    CString profileSection;               ///< where the placement is kept; empty for nowhere
    int marginX;                          ///< pixels kept free left and right of the layout
    int marginY;                          ///< pixels kept free above and below the layout

protected:
    /// What the window needs around its layout area: outer size less the area's size.
    SIZE frameSize();
};
