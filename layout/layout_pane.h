#pragma once

#include <memory>
#include <vector>

#include "layout/layout_node.h"

/// An inner node of the layout tree: a row (HORIZONTAL) or column (VERTICAL) of nodes with a gap
/// between neighbours and a border around the whole. It owns its children.
class LayoutPane : public LayoutNode {
public:
    LayoutPane(LayoutHost* host, int orientation, int gap, int border);

    /// Appends an item for the control with controlId (sizes as LayoutItem takes them); true.
    bool addItem(int controlId, unsigned flags, int width, int height, int widthMin, int heightMin);
    /// Appends child with flags and its extent along this pane's axis (a fixed size of 0: the
    /// child's minimum now; a percentage at least 5). On true this pane owns child. A null child,
    /// one of this pane's orientation or one that holds this pane is refused with false, and
    /// then nothing changes and the caller still owns it.
    bool addPane(LayoutPane* child, unsigned flags, int size);

    int requestedWidth(int available) const override;
    int requestedHeight(int available) const override;
    int minWidth() const override;
    int maxWidth() const override;
    int minHeight() const override;
    int maxHeight() const override;
    /// Shares rect's length along the axis among the children and places each in its share;
    /// narrows rect by the border across the axis.
    bool place(RECT& rect) override;

    int orientation;                                   ///< HORIZONTAL or VERTICAL
    std::vector<std::unique_ptr<LayoutNode>> children; ///< in the order of adding
    int extent; ///< size along the parent's axis: pixels or a percentage, 0 for none
    int gap;    ///< pixels between neighbouring children
    int border; ///< pixels kept free inside the rectangle on all four sides

private:
    bool holds(const LayoutPane* pane) const;
    int minimum(bool width) const;
    int maximum(bool width) const;
};
