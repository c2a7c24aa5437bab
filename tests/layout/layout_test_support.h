#pragma once

// Pieces the layout tests share: a window with controls of chosen pixel sizes on the headless
// backend, a node that records where it was placed, and a tiny BMP for the grip image.

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <vector>

#include <functional>

#include "layout/layout_dialog.h"
#include "layout/layout_host.h"
#include "layout/layout_node.h"
#include "platform/wnd.h"
#include "tests/support/headless_backend_test.h"

/// Shows a rectangle as (left, top, right, bottom) in failure messages.
inline void PrintTo(const RECT& rect, std::ostream* out) {
    *out << "(" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom
         << ")";
}

/// A top-level window on the headless backend with a LayoutHost for it; controls are made on
/// demand with the pixel size a test needs.
class ControlSheet : public HeadlessBackendTest {
protected:
    ControlSheet();
    ~ControlSheet() override;

    /// A push button of width × height pixels at (0, 0); returns its ID.
    int addControl(int width, int height);
    /// The control's rectangle in the window's client coordinates.
    RECT controlRect(int id);
    HWND controlWindow(int id) const;

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

/// A resizable dialog from template TEMPLATE: two 75 × 23 buttons and a list view. After
/// LayoutDialog's initialisation it builds its tree with `build` (none without one) and lays it
/// out; arrange places the root as the main window does and records every rectangle.
class TestDialog : public LayoutDialog {
public:
    static constexpr int TEMPLATE = 950;
    static constexpr int FIRST = 101;
    static constexpr int SECOND = 102;
    static constexpr int LIST = 103;
    using Builder = std::function<std::unique_ptr<LayoutPane>(TestDialog&)>;

    TestDialog(const char* section, bool grip, Builder build = {});
    BOOL OnInitDialog() override;
    void arrange(RECT rect) override;

    HWND gripWindow() const { return sizeGrip.GetSafeHwnd(); }

    std::vector<RECT> arranged;
    std::vector<bool> redrawWhileArranging; ///< the window's redraw switch during each arrange

private:
    Builder m_build;
};

/// Registers TestDialog's template: at (10, 10), 200 × 150 dialog units (300 × 244 pixels).
void registerTestDialog();

/// The main window's kind of tree: a row of the two buttons at their own size over the list.
std::unique_ptr<LayoutPane> buttonsOverList(TestDialog& dialog);
