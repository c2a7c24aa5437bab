#include "platform/headless/headless_window.h"

#include <algorithm>

POINT HeadlessWindow::clientOffset() const {
    return isDialog ? POINT{FRAME, FRAME + CAPTION} : POINT{0, 0};
}

RECT HeadlessWindow::clientRect() const {
    const SIZE frame = outerSizeFor(0, 0);
    // A window dragged smaller than its frame has an empty client area, never a negative one.
    return RECT{0, 0, std::max(0, rect.width() - frame.cx), std::max(0, rect.height() - frame.cy)};
}

SIZE HeadlessWindow::outerSizeFor(int width, int height) const {
    if (!isDialog) {
        return SIZE{width, height};
    }
    return SIZE{width + 2 * FRAME, height + 2 * FRAME + CAPTION};
}
