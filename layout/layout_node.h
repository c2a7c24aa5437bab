#pragma once

#include "platform/win_types.h"

class LayoutHost;

// Orientations of a pane.
inline constexpr int HORIZONTAL = 0; ///< children side by side, the first at the left
inline constexpr int VERTICAL = 1;   ///< children stacked, the first at the top

// Constraint flags of a node. The fixed and the percentage bit of one axis exclude each other.
inline constexpr unsigned WIDTH_FIXED = 0x001;    ///< width is a number of pixels
inline constexpr unsigned WIDTH_PERCENT = 0x002;  ///< width is a percentage of what the pane has
inline constexpr unsigned HEIGHT_FIXED = 0x004;   ///< height is a number of pixels
inline constexpr unsigned HEIGHT_PERCENT = 0x008; ///< height is a percentage of what the pane has
// Alignment of a fixed-size control inside a wider or higher rectangle: both bits of a pair
// centre it, the upper bit alone pushes it to the right or bottom edge, neither leaves it at the
// left or top edge.
inline constexpr unsigned ALIGN_X_LOW = 0x010;
inline constexpr unsigned ALIGN_X_HIGH = 0x020;
inline constexpr unsigned ALIGN_Y_LOW = 0x040;
inline constexpr unsigned ALIGN_Y_HIGH = 0x080;
inline constexpr unsigned ALIGN_RIGHT = ALIGN_X_HIGH;
inline constexpr unsigned ALIGN_CENTER_X = ALIGN_X_LOW | ALIGN_X_HIGH;
inline constexpr unsigned ALIGN_BOTTOM = ALIGN_Y_HIGH;
inline constexpr unsigned ALIGN_CENTER_Y = ALIGN_Y_LOW | ALIGN_Y_HIGH;
inline constexpr unsigned FILL_WIDTH = 0x100;  ///< a WIDTH_FIXED control still fills the width
inline constexpr unsigned FILL_HEIGHT = 0x200; ///< a HEIGHT_FIXED control still fills the height

/// What a maximum query answers when there is no maximum.
inline constexpr int NO_LIMIT = -1;

/// A node of a dialog's layout tree: it answers size queries and lays itself out in a rectangle.
/// Sizes are pixels in the dialog's client coordinates.
class LayoutNode {
public:
    LayoutNode(LayoutHost* host, unsigned flags) : flags(flags), host(host) {}
    virtual ~LayoutNode() = default;
    LayoutNode(const LayoutNode&) = delete;
    LayoutNode& operator=(const LayoutNode&) = delete;

    /// The width asked for when the pane has `available` pixels to hand out.
    virtual int requestedWidth(int available) const = 0;
    /// The height asked for when the pane has `available` pixels to hand out.
    virtual int requestedHeight(int available) const = 0;
    virtual int minWidth() const = 0;
    /// NO_LIMIT when there is no maximum.
    virtual int maxWidth() const = 0;
    virtual int minHeight() const = 0;
    /// NO_LIMIT when there is no maximum.
    virtual int maxHeight() const = 0;
    /// Lays the node out in rect; may narrow rect, which the caller does not use afterwards.
    virtual bool place(RECT& rect) = 0;

    unsigned flags;   ///< constraint flags
    LayoutHost* host; ///< the dialog whose controls are laid out; not owned
};

/// available × percent / 100, truncated toward zero; the product is formed in 64 bits, so the
/// result is the 32-bit one wherever that does not overflow, and the nearest int elsewhere.
int percentOf(int available, int percent);
