#pragma once

// Pieces the layout tests share: a window with controls of chosen pixel sizes on the headless
// backend, a node that records where it was placed, and a tiny BMP for the grip image.

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <vector>

#include "layout/layout_host.h"
#include "layout/layout_node.h"
#include "platform/headless/scoped_headless_backend.h"
#include "platform/wnd.h"

/// Shows a rectangle as (left, top, right, bottom) in failure messages.
inline void PrintTo(const RECT& rect, std::ostream* out) {
    *out << "(" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom
         << ")";
}

/// A top-level window on the headless backend with a LayoutHost for it; controls are made on
/// demand with the pixel size a test needs.
class ControlSheet : public testing::Test {
protected:
    ControlSheet();
    ~ControlSheet() override;

    /// A push button of width × height pixels at (0, 0); returns its ID.
    int addControl(int width, int height);
    /// The control's rectangle in the window's client coordinates.
    RECT controlRect(int id);
    HWND controlWindow(int id) const;

    ScopedHeadlessBackend headless;
    CWnd window;
    LayoutHost host{&window, nullptr};

private:
    int m_nextId = 1000;
};

/// A leaf with explicit limits that records the rectangles it is placed in and counts the
/// probes alive. Requests follow the item rules: fixed value, percentage or -1.
class ProbeNode : public LayoutNode {
public:
    ProbeNode(unsigned flags, int width, int height, int minW = 5, int maxW = NO_LIMIT,
              int minH = 5, int maxH = NO_LIMIT);
    ~ProbeNode() override;

    int requestedWidth(int available) const override;
    int requestedHeight(int available) const override;
    int minWidth() const override;
    int maxWidth() const override;
    int minHeight() const override;
    int maxHeight() const override;
    bool place(RECT& rect) override;

    int width, height, minW, maxW, minH, maxH;
    std::vector<RECT> placed;
    static int alive;
};

/// A BMP file of width × height pixels, 24 bits, all one colour.
std::vector<std::uint8_t> makeBmp(int width, int height);

/// Registers a BMP of width × height as the system's size-grip bitmap (OBM_SIZE).
void registerGripBitmap(int width, int height);
