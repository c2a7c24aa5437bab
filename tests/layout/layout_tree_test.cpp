#include "layout/layout_item.h"
#include "layout/layout_pane.h"

#include "layout_test_support.h"
#include "platform/win_api.h"

namespace {

using LayoutItemTest = ControlSheet;

TEST_F(LayoutItemTest, FixedItemWithSizesZeroIsItsControlsSize) {
    const int id = addControl(75, 23);
    LayoutItem item(id, &host, WIDTH_FIXED | HEIGHT_FIXED, 0, 0, 0, 0);
    EXPECT_EQ(item.controlWindow, controlWindow(id));
    EXPECT_EQ(item.requestedWidth(400), 75);
    EXPECT_EQ(item.minWidth(), 75);
    EXPECT_EQ(item.maxWidth(), 75);
    EXPECT_EQ(item.requestedHeight(400), 23);
    EXPECT_EQ(item.minHeight(), 23);
    EXPECT_EQ(item.maxHeight(), 23);
}

TEST_F(LayoutItemTest, FlexibleItemIsNeverBelowFivePixels) {
    LayoutItem item(addControl(75, 23), &host, 0, 0, 0, 0, 0);
    EXPECT_EQ(item.minWidth(), 5);
    EXPECT_EQ(item.minHeight(), 5);
    EXPECT_EQ(item.maxWidth(), NO_LIMIT);
    EXPECT_EQ(item.maxHeight(), NO_LIMIT);
    EXPECT_EQ(item.requestedWidth(400), -1);
    // A minimum of -1 means no smaller than the control is now.
    LayoutItem measured(addControl(75, 23), &host, 0, 0, 0, -1, -1);
    EXPECT_EQ(measured.minWidth(), 75);
    EXPECT_EQ(measured.minHeight(), 23);
}

TEST_F(LayoutItemTest, PercentageIsTruncated) {
    LayoutItem item(addControl(75, 23), &host, WIDTH_PERCENT | HEIGHT_PERCENT, 30, 30, 0, 0);
    EXPECT_EQ(item.requestedWidth(250), 75);
    EXPECT_EQ(item.requestedWidth(255), 76);
    EXPECT_EQ(item.requestedHeight(-255), -76); // toward zero, not down
    // No overflow on the way: 100,000,000 × 30 does not fit in 32 bits, the result does.
    EXPECT_EQ(item.requestedWidth(100000000), 30000000);
}

TEST_F(LayoutItemTest, MissingControlKeepsTheGivenSizes) {
    LayoutItem item(4242, &host, WIDTH_FIXED, 0, 17, -1, 3);
    EXPECT_EQ(item.controlWindow, nullptr);
    EXPECT_EQ(item.width, 0);
    EXPECT_EQ(item.widthMin, -1);
    EXPECT_EQ(item.height, 17);
    EXPECT_EQ(item.minHeight(), 5);
    RECT rect{1, 2, 30, 40};
    EXPECT_TRUE(item.place(rect));
    EXPECT_TRUE(headless.events().empty()); // nothing moved
}

TEST_F(LayoutItemTest, FixedControlKeepsItsSizeAtTheTopLeft) {
    const int id = addControl(75, 25);
    LayoutItem item(id, &host, WIDTH_FIXED | HEIGHT_FIXED, 0, 0, 0, 0);
    RECT rect{10, 20, 200, 45};
    item.place(rect);
    EXPECT_EQ(controlRect(id), (RECT{10, 20, 85, 45}));
    item.flags |= FILL_WIDTH;
    RECT again{10, 20, 200, 45};
    item.place(again);
    EXPECT_EQ(controlRect(id), (RECT{10, 20, 200, 45}));
}

TEST_F(LayoutItemTest, FixedControlUsesItsSizeAtPlacingTime) {
    const int id = addControl(75, 25);
    LayoutItem item(id, &host, WIDTH_FIXED | HEIGHT_FIXED, 0, 0, 0, 0);
    ::MoveWindow(controlWindow(id), 0, 0, 40, 12, TRUE);
    RECT rect{10, 20, 200, 45};
    item.place(rect);
    EXPECT_EQ(controlRect(id), (RECT{10, 20, 50, 32}));
}

TEST_F(LayoutItemTest, FlexibleControlFillsItsRectangle) {
    const int id = addControl(75, 25);
    LayoutItem item(id, &host, 0, 0, 0, 0, 0);
    RECT rect{10, 20, 200, 145};
    item.place(rect);
    EXPECT_EQ(controlRect(id), (RECT{10, 20, 200, 145}));
}

TEST_F(LayoutItemTest, AlignmentBitsCentreOrPushToTheFarEdge) {
    const int id = addControl(40, 10);
    LayoutItem item(id, &host, WIDTH_FIXED | HEIGHT_FIXED, 0, 0, 0, 0);
    const struct {
        unsigned align;
        RECT expected;
    } cases[] = {
        {0, {100, 200, 140, 210}},
        {ALIGN_X_LOW | ALIGN_Y_LOW, {100, 200, 140, 210}}, // the lower bit alone does nothing
        {ALIGN_CENTER_X, {130, 200, 170, 210}},            // (101 - 40) / 2 = 30 to the right
        {ALIGN_RIGHT, {161, 200, 201, 210}},
        {ALIGN_CENTER_Y, {100, 215, 140, 225}},
        {ALIGN_BOTTOM | ALIGN_RIGHT, {161, 230, 201, 240}},
    };
    for (const auto& c : cases) {
        item.flags = WIDTH_FIXED | HEIGHT_FIXED | c.align;
        RECT rect{100, 200, 201, 240};
        item.place(rect);
        EXPECT_EQ(controlRect(id), c.expected) << "alignment " << c.align;
    }
    // A control larger than its slot stays at the slot's start instead of spilling before it.
    item.flags = WIDTH_FIXED | HEIGHT_FIXED | ALIGN_CENTER_X | ALIGN_BOTTOM;
    RECT narrow{100, 200, 120, 205};
    item.place(narrow);
    EXPECT_EQ(controlRect(id), (RECT{100, 200, 140, 210}));
}

using LayoutPaneTest = ControlSheet;

// Three children with minimum widths 10, 20, 30 and maximum widths as given.
void addThree(LayoutPane& pane, int max3) {
    pane.children.push_back(std::make_unique<ProbeNode>(0, 0, 0, 10, 10));
    pane.children.push_back(std::make_unique<ProbeNode>(0, 0, 0, 20, 20));
    pane.children.push_back(std::make_unique<ProbeNode>(0, 0, 0, 30, max3));
}

TEST_F(LayoutPaneTest, MinimaAddUpAlongAndTakeTheLargestAcross) {
    LayoutPane row(&host, HORIZONTAL, 5, 2);
    addThree(row, 30);
    EXPECT_EQ(row.minWidth(), 74);
    EXPECT_EQ(row.maxWidth(), 74);
    LayoutPane column(&host, VERTICAL, 5, 2);
    addThree(column, 30);
    EXPECT_EQ(column.minWidth(), 34);
    EXPECT_EQ(column.maxWidth(), 34);
    EXPECT_EQ(column.minHeight(), 5 + 5 + 5 + 10 + 4);
}

TEST_F(LayoutPaneTest, AnyUnlimitedChildMakesThePaneUnlimited) {
    LayoutPane row(&host, HORIZONTAL, 5, 2);
    addThree(row, NO_LIMIT);
    EXPECT_EQ(row.maxWidth(), NO_LIMIT);
    LayoutPane column(&host, VERTICAL, 5, 2);
    addThree(column, NO_LIMIT);
    EXPECT_EQ(column.maxWidth(), NO_LIMIT);
}

TEST_F(LayoutPaneTest, EmptyPane) {
    LayoutPane row(&host, HORIZONTAL, 7, 3);
    EXPECT_EQ(row.maxWidth(), NO_LIMIT);
    EXPECT_EQ(row.maxHeight(), NO_LIMIT);
    EXPECT_EQ(row.minWidth(), 6); // the border only: no gap without neighbours
    EXPECT_EQ(row.minHeight(), 6);
    RECT rect{0, 0, 100, 50};
    EXPECT_TRUE(row.place(rect));
    EXPECT_EQ(rect, (RECT{0, 3, 100, 47}));
}

TEST_F(LayoutPaneTest, FixedSubPaneIsMeasuredWhenAdded) {
    LayoutPane column(&host, VERTICAL, 5, 0);
    auto row = std::make_unique<LayoutPane>(&host, HORIZONTAL, 5, 0);
    row->addItem(addControl(75, 23), WIDTH_FIXED | HEIGHT_FIXED, 0, 0, 0, 0);
    LayoutPane* added = row.get();
    ASSERT_TRUE(column.addPane(row.release(), HEIGHT_FIXED, 0));
    EXPECT_EQ(added->extent, 23);
    // A taller button added later changes nothing: the extent was fixed when the row was added.
    added->addItem(addControl(75, 40), WIDTH_FIXED | HEIGHT_FIXED, 0, 0, 0, 0);
    EXPECT_EQ(added->minHeight(), 23);
    EXPECT_EQ(added->maxHeight(), 23);
    EXPECT_EQ(added->requestedHeight(0), 23);
    EXPECT_EQ(added->requestedHeight(500), 23);
    EXPECT_EQ(added->minWidth(), 155); // along the row nothing is fixed
}

TEST_F(LayoutPaneTest, SubPaneExtents) {
    LayoutPane row(&host, HORIZONTAL, 0, 0);
    auto percent = std::make_unique<LayoutPane>(&host, VERTICAL, 0, 0);
    LayoutPane* small = percent.get();
    ASSERT_TRUE(row.addPane(percent.release(), WIDTH_PERCENT, 3));
    EXPECT_EQ(small->extent, 5);
    EXPECT_EQ(small->requestedWidth(200), 10);
    auto fixed = std::make_unique<LayoutPane>(&host, VERTICAL, 0, 0);
    fixed->addItem(addControl(300, 20), WIDTH_FIXED, 0, 0, 0, 0);
    LayoutPane* wide = fixed.get();
    ASSERT_TRUE(row.addPane(fixed.release(), WIDTH_FIXED | HEIGHT_PERCENT, 120));
    EXPECT_EQ(wide->extent, 120);
    EXPECT_EQ(wide->minWidth(), 120);
    EXPECT_EQ(wide->requestedWidth(999), 120);
    EXPECT_EQ(wide->flags, WIDTH_FIXED | HEIGHT_PERCENT);
    EXPECT_EQ(row.children.size(), 2u);
}

TEST_F(LayoutPaneTest, SameOrientationOrALoopIsRefusedAndChangesNothing) {
    LayoutPane outer(&host, VERTICAL, 0, 0);
    LayoutPane inner(&host, VERTICAL, 0, 0);
    inner.flags = HEIGHT_PERCENT;
    inner.extent = 40;
    EXPECT_FALSE(outer.addPane(&inner, HEIGHT_FIXED, 10));
    EXPECT_EQ(inner.flags, unsigned(HEIGHT_PERCENT));
    EXPECT_EQ(inner.extent, 40);
    EXPECT_TRUE(outer.children.empty());
    EXPECT_FALSE(outer.addPane(nullptr, 0, 0));

    // outer holds row; row must not take outer (or anything holding it) back.
    auto row = std::make_unique<LayoutPane>(&host, HORIZONTAL, 0, 0);
    LayoutPane* rowPtr = row.get();
    ASSERT_TRUE(outer.addPane(row.release(), 0, 0));
    auto holder = std::make_unique<LayoutPane>(&host, VERTICAL, 0, 0);
    EXPECT_FALSE(rowPtr->addPane(&outer, 0, 0));
    EXPECT_TRUE(rowPtr->children.empty());
    EXPECT_TRUE(rowPtr->addPane(holder.release(), 0, 0));
}

TEST_F(LayoutPaneTest, DeletingTheRootDeletesEveryNodeAndNoControl) {
    const int button = addControl(75, 23);
    const int list = addControl(200, 100);
    {
        auto root = std::make_unique<LayoutPane>(&host, VERTICAL, 5, 0);
        auto row = std::make_unique<LayoutPane>(&host, HORIZONTAL, 5, 0);
        row->addItem(button, WIDTH_FIXED | HEIGHT_FIXED, 0, 0, 0, 0);
        row->children.push_back(std::make_unique<ProbeNode>(0, 0, 0));
        root->addPane(row.release(), HEIGHT_FIXED, 0);
        root->addItem(list, 0, 0, 0, 0, 0);
        root->children.push_back(std::make_unique<ProbeNode>(0, 0, 0));
        EXPECT_EQ(ProbeNode::alive, 2);
        host.rootPane = std::move(root);
        host.rootPane.reset();
    }
    EXPECT_EQ(ProbeNode::alive, 0);
    EXPECT_TRUE(::IsWindow(controlWindow(button)));
    EXPECT_EQ(controlRect(list), (RECT{0, 0, 200, 100}));
    EXPECT_TRUE(headless.events().empty());
}

} // namespace
