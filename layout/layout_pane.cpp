#include "layout/layout_pane.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "layout/layout_item.h"

namespace {

// A percentage extent below this is raised to it, so that a pane never asks for almost nothing.
constexpr int SMALLEST_PERCENT = 5;

int clampInt(std::int64_t value) {
    return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : int(value);
}

// How a child takes its length along the pane's axis.
enum class Kind { Fixed, Percent, Flexible };

// The working values of one child during one distribution.
struct Share {
    Kind kind = Kind::Flexible;
    std::int64_t size = 0; // length along the axis
    std::int64_t lo = 0;   // minimum along the axis
    std::int64_t hi = 0;   // maximum along the axis, NO_LIMIT for none
    bool pinned = false;   // clamped to lo or hi by its pass; redistribution leaves it alone
};

// Clamps the child's asked length to its minimum and maximum. A child that is clamped is pinned
// and the pixels it takes (or frees) are added to d; one that is not adds its length to the
// weight w. Returns how far the asked length lies above the minimum when it was not clamped.
std::int64_t clampAsked(Share& share, std::int64_t asked, std::int64_t& d, std::int64_t& w) {
    if (asked < share.lo) {
        share.size = share.lo;
        share.pinned = true;
        d += share.lo - asked;
        return 0;
    }
    if (share.hi != NO_LIMIT && asked > share.hi) {
        share.size = share.hi;
        share.pinned = true;
        d += share.hi - asked; // negative: the group may take these pixels
        return 0;
    }
    share.size = asked;
    w += asked;
    return asked - share.lo;
}

// Moves the difference d into or out of the unpinned children of one group, in proportion to
// their sizes, in sweeps until it is absorbed. A positive d shrinks them, never below their
// minimum; a negative one grows them. A sweep that moves nothing, or a weight that falls to 0 or
// below, ends it: the rest of d then stays empty at the far end (or runs past it).
//
// Those two ends do not cover every case. Once children have been set to their minimum, w has
// lost their minima rather than their sizes and can stand for about half of what the children
// hold; every sweep then moves about twice d and d swings between two values for ever (flexible
// minima 45, 36, 77, 57, 36, 1 with maxima -, -, -, -, 61, 48 in 278 swing between 7 and -8). So
// sweeps that set no child to its minimum must keep bringing |d| to new lows: two of them in a row
// without a new low end the redistribution as well. A sweep that sets a child to its minimum
// lowers w for good or drops a child to a size of 0 or less (never visited again), so there are
// finitely many of those; between them |d| falls at least every second sweep, so the loop ends.
void redistribute(std::vector<Share>& shares, Kind group, std::int64_t d, std::int64_t w) {
    std::int64_t lowest = d < 0 ? -d : d;
    int sweepsWithoutLow = 0;
    while (d != 0 && w > 0) {
        std::int64_t moved = 0;
        bool weightGone = false;
        bool setToMinimum = false;
        for (Share& share : shares) {
            if (share.kind != group || share.pinned || share.size <= 0) {
                continue;
            }
            // Every child of a sweep divides the same d; only the weight changes within it.
            std::int64_t part = share.size * d / w;
            const bool last = d >= -5 && d <= 5; // a few pixels go whole to the first that fits
            if (last) {
                part = d;
            }
            if (share.size - part < share.lo) {
                moved += share.size - share.lo;
                share.size = share.lo;
                w -= share.lo;
                setToMinimum = true;
                if (w <= 0) {
                    weightGone = true; // no further share may be divided by it
                    break;
                }
                continue; // not pinned: later sweeps visit it again
            }
            share.size -= part;
            moved += part;
            if (last) {
                break;
            }
        }
        d -= moved;
        if (moved == 0 || weightGone) {
            break;
        }
        const std::int64_t distance = d < 0 ? -d : d;
        if (setToMinimum || distance < lowest) {
            lowest = distance;
            sweepsWithoutLow = 0;
        } else if (++sweepsWithoutLow == 2) {
            break;
        }
    }
}

} // namespace

LayoutPane::LayoutPane(LayoutHost* host, int orientation, int gap, int border)
    : LayoutNode(host, 0), orientation(orientation), extent(0), gap(gap), border(border) {}

bool LayoutPane::addItem(int controlId, unsigned flags, int width, int height, int widthMin,
                         int heightMin) {
    children.push_back(
        std::make_unique<LayoutItem>(controlId, host, flags, width, height, widthMin, heightMin));
    return true;
}

bool LayoutPane::addPane(LayoutPane* child, unsigned flags, int size) {
    // A child that holds this pane would make the tree a loop: placing it would never end.
    if (!child || child->orientation == orientation || child->holds(this)) {
        return false;
    }
    child->flags = flags;
    const bool horizontal = orientation == HORIZONTAL;
    if (flags & (horizontal ? WIDTH_FIXED : HEIGHT_FIXED)) {
        child->extent = size != 0 ? size : horizontal ? child->minWidth() : child->minHeight();
    } else if (flags & (horizontal ? WIDTH_PERCENT : HEIGHT_PERCENT)) {
        child->extent = std::max(size, SMALLEST_PERCENT);
    }
    children.emplace_back(child);
    return true;
}

bool LayoutPane::holds(const LayoutPane* pane) const {
    if (pane == this) {
        return true;
    }
    for (const auto& child : children) {
        const auto* sub = dynamic_cast<const LayoutPane*>(child.get());
        if (sub && sub->holds(pane)) {
            return true;
        }
    }
    return false;
}

int LayoutPane::requestedWidth(int available) const {
    if (flags & WIDTH_PERCENT) {
        return percentOf(available, extent);
    }
    return flags & WIDTH_FIXED ? extent : 0;
}

int LayoutPane::requestedHeight(int available) const {
    if (flags & HEIGHT_PERCENT) {
        return percentOf(available, extent);
    }
    return flags & HEIGHT_FIXED ? extent : 0;
}

// Along the pane's axis the children's minima add up; across it the largest counts, unless the
// pane itself was given a fixed size on that axis.
int LayoutPane::minimum(bool width) const {
    const bool along = width == (orientation == HORIZONTAL);
    if (!along && (flags & (width ? WIDTH_FIXED : HEIGHT_FIXED)) && extent != 0) {
        return extent;
    }
    std::int64_t total = 0;
    for (const auto& child : children) {
        const std::int64_t value = width ? child->minWidth() : child->minHeight();
        total = along ? total + value : std::max(total, value);
    }
    if (along && !children.empty()) {
        total += std::int64_t(gap) * std::int64_t(children.size() - 1);
    }
    return clampInt(total + 2 * std::int64_t(border));
}

int LayoutPane::maximum(bool width) const {
    const bool along = width == (orientation == HORIZONTAL);
    if (!along && (flags & (width ? WIDTH_FIXED : HEIGHT_FIXED)) && extent != 0) {
        return extent;
    }
    if (children.empty()) {
        return NO_LIMIT;
    }
    std::int64_t total = 0;
    for (const auto& child : children) {
        const std::int64_t value = width ? child->maxWidth() : child->maxHeight();
        if (value == NO_LIMIT) {
            return NO_LIMIT;
        }
        total = along ? total + value : std::max(total, value);
    }
    if (along) {
        total += std::int64_t(gap) * std::int64_t(children.size() - 1);
    }
    return clampInt(total + 2 * std::int64_t(border));
}

int LayoutPane::minWidth() const {
    return minimum(true);
}
int LayoutPane::maxWidth() const {
    return maximum(true);
}
int LayoutPane::minHeight() const {
    return minimum(false);
}
int LayoutPane::maxHeight() const {
    return maximum(false);
}

bool LayoutPane::place(RECT& rect) {
    const bool horizontal = orientation == HORIZONTAL;
    const unsigned fixedBit = horizontal ? WIDTH_FIXED : HEIGHT_FIXED;
    const unsigned percentBit = horizontal ? WIDTH_PERCENT : HEIGHT_PERCENT;
    const auto request = [horizontal](const LayoutNode& node, std::int64_t available) {
        const int room = clampInt(available);
        return horizontal ? node.requestedWidth(room) : node.requestedHeight(room);
    };

    // Pass 1: the length along the axis, then the border off the two edges across it.
    const std::int64_t length =
        horizontal ? std::int64_t(rect.right) - rect.left : std::int64_t(rect.bottom) - rect.top;
    if (horizontal) {
        rect.top += border;
        rect.bottom -= border;
    } else {
        rect.left += border;
        rect.right -= border;
    }
    const std::size_t n = children.size();
    if (n == 0) {
        return true;
    }

    // Pass 2: survey. Fixed children take their size outright (never compared with their limits)
    // from the length left after the border and the gaps; flexible ones are counted.
    std::vector<Share> shares(n);
    std::int64_t unclaimed =
        length - 2 * std::int64_t(border) - std::int64_t(gap) * std::int64_t(n - 1);
    std::int64_t flexibleLeft = 0; // flexible children not yet served
    for (std::size_t i = 0; i < n; ++i) {
        const LayoutNode& child = *children[i];
        Share& share = shares[i];
        if (child.flags & fixedBit) {
            share.kind = Kind::Fixed;
            share.size = request(child, 0);
            unclaimed -= share.size;
        } else if (child.flags & percentBit) {
            share.kind = Kind::Percent;
        } else {
            ++flexibleLeft;
        }
        share.lo = horizontal ? child.minWidth() : child.minHeight();
        share.hi = horizontal ? child.maxWidth() : child.maxHeight();
    }

    // Pass 3: percentages are of what the fixed children and the gaps leave (the base); the
    // flexible children start from the same length.
    const std::int64_t base = std::max<std::int64_t>(unclaimed, 0);
    std::int64_t flexibleLength = base;
    std::int64_t difference = 0; // pixels the group must give up (> 0) or may take (< 0)
    std::int64_t slack = 0;      // how far unpinned percentage children lie above their minima
    std::int64_t weight = 0;     // sum of the unpinned sizes

    // Pass 4: percentage children ask their share of the base and are clamped to their limits.
    // The flexible length loses what was asked, not what was granted.
    for (std::size_t i = 0; i < n; ++i) {
        if (shares[i].kind == Kind::Percent) {
            const std::int64_t asked = request(*children[i], base);
            slack += clampAsked(shares[i], asked, difference, weight);
            flexibleLength -= asked;
        }
    }

    // Pass 5: what the unpinned percentage children cannot give up without going below their
    // minima comes out of the flexible length, if that length has it.
    if (slack < difference && flexibleLength >= difference - slack) {
        flexibleLength -= difference - slack;
        difference = slack;
    }

    // Pass 6: the rest of the difference is moved among the percentage children.
    if (difference != 0) {
        redistribute(shares, Kind::Percent, difference, weight);
    }

    // Pass 7: flexible children split what is left equally, each taking its part of what remains,
    // so the remainder of the division goes to the later ones; then they are clamped.
    difference = 0;
    weight = 0;
    for (Share& share : shares) {
        if (share.kind == Kind::Flexible) {
            const std::int64_t part = flexibleLength / flexibleLeft;
            clampAsked(share, part, difference, weight);
            flexibleLength -= part;
            --flexibleLeft;
        }
    }

    // Pass 8: pixels taken or freed by clamping move among the other flexible children.
    if (difference != 0) {
        redistribute(shares, Kind::Flexible, difference, weight);
    }

    // Pass 9: placement, from the near edge inside the border, exactly `gap` apart. Surplus
    // length stays empty at the far end; a shortfall runs past it.
    std::int64_t pos = (horizontal ? rect.left : rect.top) + std::int64_t(border);
    for (std::size_t i = 0; i < n; ++i) {
        RECT slot = rect;
        if (horizontal) {
            slot.left = clampInt(pos);
            slot.right = clampInt(pos + shares[i].size);
        } else {
            slot.top = clampInt(pos);
            slot.bottom = clampInt(pos + shares[i].size);
        }
        children[i]->place(slot);
        pos += shares[i].size + gap;
    }

    // Pass 10: every child has been placed once.
    return true;
}
