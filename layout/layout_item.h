#pragma once

#include "layout/layout_node.h"

/// A leaf of the layout tree: one control of the host's dialog, found by its control ID.
class LayoutItem : public LayoutNode {
public:
    /// A width or height of 0 means the control's size now, a minimum of -1 no smaller than now;
    /// without such a control the values stay as given.
    LayoutItem(int controlId, LayoutHost* host, unsigned flags, int width, int height, int widthMin,
               int heightMin);

    int requestedWidth(int available) const override;
    int requestedHeight(int available) const override;
    int minWidth() const override;
    int maxWidth() const override;
    int minHeight() const override;
    int maxHeight() const override;
    /// Moves the control into rect; a fixed-size control keeps its current size.
    bool place(RECT& rect) override;

    int width;          ///< pixels with WIDTH_FIXED, a percentage with WIDTH_PERCENT
    int widthMin;       ///< the smallest width when not WIDTH_FIXED
    int height;         ///< pixels with HEIGHT_FIXED, a percentage with HEIGHT_PERCENT
    int heightMin;      ///< the smallest height when not HEIGHT_FIXED
    HWND controlWindow; ///< the control, or null when the dialog has none with the ID; not owned
};
