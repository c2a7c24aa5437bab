#include "layout/layout_item.h"

#include <algorithm>

#include "layout/layout_host.h"
#include "platform/win_api.h"
#include "platform/wnd.h"

namespace {

// Below this a control that may shrink is never made, whatever minimum it was given.
constexpr int SMALLEST = 5;

int requested(unsigned flags, unsigned fixedBit, unsigned percentBit, int value, int available) {
    if (flags & fixedBit) {
        return value;
    }
    return flags & percentBit ? percentOf(available, value) : -1;
}

// Where a fixed-size control of length `size` starts in a slot of length `room`: the pair of
// alignment bits of its axis centres it or pushes it to the far end. A control larger than its
// slot stays at the slot's start rather than spilling out before it.
int alignedStart(unsigned flags, unsigned lowBit, unsigned highBit, int start, int room, int size) {
    const long long spare = (long long)room - size;
    if (spare <= 0 || !(flags & highBit)) {
        return start;
    }
    return int(start + (flags & lowBit ? spare / 2 : spare));
}

} // namespace

LayoutItem::LayoutItem(int controlId, LayoutHost* host, unsigned flags, int width, int height,
                       int widthMin, int heightMin)
    : LayoutNode(host, flags), width(width), widthMin(widthMin), height(height),
      heightMin(heightMin), controlWindow(nullptr) {
    const CWnd* control = host && host->owner ? host->owner->GetDlgItem(controlId) : nullptr;
    controlWindow = control ? control->GetSafeHwnd() : nullptr;
    RECT rect;
    if (!controlWindow || !::GetWindowRect(controlWindow, &rect)) {
        return;
    }
    if (width == 0) {
        this->width = rect.right - rect.left;
    }
    if (widthMin == -1) {
        this->widthMin = rect.right - rect.left;
    }
    if (height == 0) {
        this->height = rect.bottom - rect.top;
    }
    if (heightMin == -1) {
        this->heightMin = rect.bottom - rect.top;
    }
}

int LayoutItem::requestedWidth(int available) const {
    return requested(flags, WIDTH_FIXED, WIDTH_PERCENT, width, available);
}

int LayoutItem::requestedHeight(int available) const {
    return requested(flags, HEIGHT_FIXED, HEIGHT_PERCENT, height, available);
}

int LayoutItem::minWidth() const {
    return flags & WIDTH_FIXED ? width : std::max(widthMin, SMALLEST);
}

int LayoutItem::maxWidth() const {
    return flags & WIDTH_FIXED ? width : NO_LIMIT;
}

int LayoutItem::minHeight() const {
    return flags & HEIGHT_FIXED ? height : std::max(heightMin, SMALLEST);
}

int LayoutItem::maxHeight() const {
    return flags & HEIGHT_FIXED ? height : NO_LIMIT;
}

bool LayoutItem::place(RECT& rect) {
    RECT current;
    if (!controlWindow || !::GetWindowRect(controlWindow, &current)) {
        return true;
    }
    // A fixed-size control keeps the size its window has now, not the size it was measured at.
    if ((flags & WIDTH_FIXED) && !(flags & FILL_WIDTH)) {
        const int room = rect.right - rect.left;
        const int size = current.right - current.left;
        rect.left = alignedStart(flags, ALIGN_X_LOW, ALIGN_X_HIGH, rect.left, room, size);
        rect.right = rect.left + size;
    }
    if ((flags & HEIGHT_FIXED) && !(flags & FILL_HEIGHT)) {
        const int room = rect.bottom - rect.top;
        const int size = current.bottom - current.top;
        rect.top = alignedStart(flags, ALIGN_Y_LOW, ALIGN_Y_HIGH, rect.top, room, size);
        rect.bottom = rect.top + size;
    }
    ::MoveWindow(controlWindow, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 TRUE);
    return true;
}
