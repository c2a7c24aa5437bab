#include "layout/layout_pane.h"

#include <utility>
#include <vector>

#include "layout_test_support.h"

namespace {

using Spans = std::vector<std::pair<int, int>>;

// The worked examples of the distribution, laid out with real controls. Flexible items have
// minimum 5 and no maximum unless stated; a child with a maximum is a column holding one
// fixed-width control that fills the column (so its minimum and maximum are that width).
class PaneDistributionTest : public ControlSheet {
protected:
    int fixedItem(LayoutPane& pane, int size) {
        const bool row = pane.orientation == HORIZONTAL;
        const int id = row ? addControl(size, 20) : addControl(60, size);
        pane.addItem(id, row ? WIDTH_FIXED : HEIGHT_FIXED, 0, 0, 0, 0);
        return remember(id);
    }
    int flexibleItem(LayoutPane& pane, int minimum = 0) {
        const int id = addControl(50, 20);
        pane.addItem(id, 0, 0, 0, minimum, minimum);
        return remember(id);
    }
    int percentItem(LayoutPane& pane, int percent, int minimum = 0) {
        const int id = addControl(50, 20);
        pane.addItem(id, WIDTH_PERCENT, percent, 0, minimum, 0);
        return remember(id);
    }
    int cappedChild(LayoutPane& row, unsigned flags, int size, int maximum) {
        auto column = std::make_unique<LayoutPane>(&host, VERTICAL, 0, 0);
        const int id = addControl(maximum, 20);
        column->addItem(id, WIDTH_FIXED | FILL_WIDTH, 0, 0, 0, 0);
        EXPECT_TRUE(row.addPane(column.release(), flags, size));
        return remember(id);
    }

    // Lays pane out from 0 along its axis over length, 50 across; the controls' spans along it.
    Spans layOut(LayoutPane& pane, int length) {
        const bool row = pane.orientation == HORIZONTAL;
        RECT rect = row ? RECT{0, 0, length, 50} : RECT{0, 0, 50, length};
        EXPECT_TRUE(pane.place(rect));
        Spans spans;
        for (const int id : ids_) {
            const RECT at = controlRect(id);
            spans.emplace_back(row ? at.left : at.top, row ? at.right : at.bottom);
        }
        return spans;
    }

private:
    int remember(int id) {
        ids_.push_back(id);
        return id;
    }
    std::vector<int> ids_;
};

TEST_F(PaneDistributionTest, FixedButtonsKeepTheirSizesWithSurplusOrShortfall) {
    LayoutPane row(&host, HORIZONTAL, 5, 0);
    for (const int width : {60, 80, 100, 120}) {
        fixedItem(row, width);
    }
    const Spans expected{{0, 60}, {65, 145}, {150, 250}, {255, 375}};
    EXPECT_EQ(layOut(row, 400), expected); // 25 pixels stay empty
    EXPECT_EQ(layOut(row, 300), expected); // the last runs 75 pixels past the edge
}

TEST_F(PaneDistributionTest, ColumnOfTwoFixedRowsAndAFlexibleList) {
    LayoutPane column(&host, VERTICAL, 5, 0);
    fixedItem(column, 23);
    fixedItem(column, 23);
    flexibleItem(column);
    EXPECT_EQ(layOut(column, 300), (Spans{{0, 23}, {28, 51}, {56, 300}}));
    EXPECT_EQ(layOut(column, 40), (Spans{{0, 23}, {28, 51}, {56, 61}}));
}

TEST_F(PaneDistributionTest, RemainderGoesToTheLaterFlexibleChildren) {
    LayoutPane row(&host, HORIZONTAL, 0, 0);
    for (int i = 0; i < 3; ++i) {
        flexibleItem(row);
    }
    EXPECT_EQ(layOut(row, 100), (Spans{{0, 33}, {33, 66}, {66, 100}}));
}

TEST_F(PaneDistributionTest, TruncatedPercentagesLeaveTheLastPixelEmpty) {
    LayoutPane row(&host, HORIZONTAL, 0, 0);
    for (int i = 0; i < 3; ++i) {
        percentItem(row, 33);
    }
    EXPECT_EQ(layOut(row, 100), (Spans{{0, 33}, {33, 66}, {66, 99}}));
}

TEST_F(PaneDistributionTest, PercentagesAreOfWhatFixedChildrenAndGapsLeave) {
    LayoutPane row(&host, HORIZONTAL, 5, 5);
    fixedItem(row, 50);
    percentItem(row, 25); // 335 × 25 / 100 = 83
    flexibleItem(row);
    flexibleItem(row);
    EXPECT_EQ(layOut(row, 410), (Spans{{5, 55}, {60, 143}, {148, 274}, {279, 405}}));
}

TEST_F(PaneDistributionTest, PercentagesOverAHundredSqueezeFlexibleToItsMinimum) {
    LayoutPane row(&host, HORIZONTAL, 0, 0);
    percentItem(row, 60);
    percentItem(row, 60);
    flexibleItem(row);
    EXPECT_EQ(layOut(row, 200), (Spans{{0, 120}, {120, 240}, {240, 245}}));
}

TEST_F(PaneDistributionTest, PercentageBelowItsMinimumTakesFromTheOtherPercentage) {
    LayoutPane row(&host, HORIZONTAL, 0, 0);
    percentItem(row, 10, 30);
    percentItem(row, 50);
    flexibleItem(row);
    EXPECT_EQ(layOut(row, 100), (Spans{{0, 30}, {30, 60}, {60, 100}}));
}

TEST_F(PaneDistributionTest, WhatPercentagesCannotGiveComesFromTheFlexibleLength) {
    LayoutPane row(&host, HORIZONTAL, 0, 0);
    percentItem(row, 10, 30);
    percentItem(row, 15, 10);
    flexibleItem(row);
    EXPECT_EQ(layOut(row, 100), (Spans{{0, 30}, {30, 40}, {40, 100}}));
}

TEST_F(PaneDistributionTest, PixelsFreedAtAPercentageMaximumGoToTheOtherPercentage) {
    LayoutPane row(&host, HORIZONTAL, 0, 0);
    cappedChild(row, WIDTH_PERCENT, 50, 20);
    percentItem(row, 30);
    flexibleItem(row);
    EXPECT_EQ(layOut(row, 100), (Spans{{0, 20}, {20, 80}, {80, 100}}));
}

TEST_F(PaneDistributionTest, FreedPixelsWithNoOtherPercentageStayEmpty) {
    LayoutPane row(&host, HORIZONTAL, 0, 0);
    cappedChild(row, WIDTH_PERCENT, 50, 100);
    flexibleItem(row);
    EXPECT_EQ(layOut(row, 300), (Spans{{0, 100}, {100, 250}}));
}

TEST_F(PaneDistributionTest, FlexibleMaximumFreesPixelsForTheOthers) {
    LayoutPane row(&host, HORIZONTAL, 0, 0);
    cappedChild(row, 0, 0, 50);
    flexibleItem(row);
    flexibleItem(row);
    EXPECT_EQ(layOut(row, 300), (Spans{{0, 50}, {50, 175}, {175, 300}}));
}

TEST_F(PaneDistributionTest, AllFlexibleAtTheirMaximaLeaveTheRestEmpty) {
    LayoutPane row(&host, HORIZONTAL, 0, 0);
    cappedChild(row, 0, 0, 30);
    cappedChild(row, 0, 0, 30);
    EXPECT_EQ(layOut(row, 100), (Spans{{0, 30}, {30, 60}}));
}

TEST_F(PaneDistributionTest, ShrinkingStopsAtEachMinimum) {
    LayoutPane row(&host, HORIZONTAL, 0, 0);
    flexibleItem(row, 10);
    flexibleItem(row);
    flexibleItem(row);
    EXPECT_EQ(layOut(row, 20), (Spans{{0, 10}, {10, 15}, {15, 20}}));
}

TEST_F(PaneDistributionTest, PixelsGivenUpBeyondTheDifferenceComeBack) {
    LayoutPane row(&host, HORIZONTAL, 0, 0);
    flexibleItem(row);
    flexibleItem(row, 12);
    flexibleItem(row);
    EXPECT_EQ(layOut(row, 24), (Spans{{0, 7}, {7, 19}, {19, 24}}));
}

TEST_F(PaneDistributionTest, BorderNarrowsEveryChildAndTheCallersRectangle) {
    LayoutPane row(&host, HORIZONTAL, 0, 3);
    const int first = flexibleItem(row);
    const int second = fixedItem(row, 30);
    RECT rect{0, 0, 100, 50};
    row.place(rect);
    EXPECT_EQ(rect, (RECT{0, 3, 100, 47}));
    EXPECT_EQ(controlRect(first), (RECT{3, 3, 67, 47}));
    EXPECT_EQ(controlRect(second), (RECT{67, 3, 97, 47}));
}

// A sweep in which every share truncates to 0 moves nothing: the redistribution ends and the
// pixels still owed run past the far end.
TEST_F(PaneDistributionTest, SweepThatMovesNothingEndsTheRedistribution) {
    LayoutPane row(&host, HORIZONTAL, 0, 0);
    flexibleItem(row, 26);
    for (int i = 0; i < 10; ++i) {
        flexibleItem(row);
    }
    Spans expected{{0, 26}};
    for (int i = 0; i < 10; ++i) {
        expected.emplace_back(26 + 20 * i, 46 + 20 * i);
    }
    EXPECT_EQ(layOut(row, 220), expected);
}

// Minimums 5, 5, 20 in 23: the second sweep sets the first child to its minimum and the weight
// falls to exactly 0 with 7 pixels still owed; the next share must not be divided by it.
TEST_F(PaneDistributionTest, WeightFallingToZeroEndsTheRedistribution) {
    LayoutPane row(&host, HORIZONTAL, 0, 0);
    flexibleItem(row);
    flexibleItem(row);
    flexibleItem(row, 20);
    EXPECT_EQ(layOut(row, 23), (Spans{{0, 5}, {5, 10}, {10, 30}}));
}

// After the first sweep the weight stands for about half of what the children hold, and later
// sweeps swing the difference between 7 and -8 for ever; two sweeps without a new low end it.
TEST_F(PaneDistributionTest, SwingingDifferenceEndsTheRedistribution) {
    LayoutPane row(&host, HORIZONTAL, 0, 0);
    const int minima[] = {45, 36, 77, 57, 36, 1};
    const int maxima[] = {NO_LIMIT, NO_LIMIT, NO_LIMIT, NO_LIMIT, 61, 48};
    std::vector<ProbeNode*> probes;
    for (int i = 0; i < 6; ++i) {
        auto probe = std::make_unique<ProbeNode>(0, 0, 0, minima[i], maxima[i]);
        probes.push_back(probe.get());
        row.children.push_back(std::move(probe));
    }
    RECT rect{0, 0, 278, 50};
    ASSERT_TRUE(row.place(rect));
    Spans spans;
    for (const ProbeNode* probe : probes) {
        ASSERT_EQ(probe->placed.size(), 1u);
        spans.emplace_back(probe->placed[0].left, probe->placed[0].right);
    }
    EXPECT_EQ(spans, (Spans{{0, 50}, {50, 90}, {90, 167}, {167, 224}, {224, 264}, {264, 285}}));
}

TEST_F(PaneDistributionTest, ShortOrNegativeRectanglesStillGiveEveryMinimum) {
    LayoutPane row(&host, HORIZONTAL, 4, 2);
    percentItem(row, 50, 8);
    flexibleItem(row);
    fixedItem(row, 12);
    const Spans expected{{2, 10}, {14, 19}, {23, 35}};
    EXPECT_EQ(layOut(row, 0), expected);
    EXPECT_EQ(layOut(row, -40), expected);
}

} // namespace
