#include "layout/layout_pane.h"

#include <random>

#include "layout_test_support.h"

namespace {

// A pane that records the rectangles it is given before it lays its children out.
class ProbePane : public LayoutPane {
public:
    ProbePane(int orientation, int gap, int border)
        : LayoutPane(nullptr, orientation, gap, border) {}
    bool place(RECT& rect) override {
        placed.push_back(rect);
        return LayoutPane::place(rect);
    }
    std::vector<RECT> placed;
};

class RandomTrees {
public:
    explicit RandomTrees(unsigned seed) : rng_(seed) {}

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }

    // For each axis fixed, percentage or neither; alignment and fill bits at random.
    unsigned flags() {
        unsigned result = 0;
        const unsigned width[] = {0, WIDTH_FIXED, WIDTH_PERCENT};
        const unsigned height[] = {0, HEIGHT_FIXED, HEIGHT_PERCENT};
        result |= width[pick(0, 2)] | height[pick(0, 2)];
        result |= unsigned(pick(0, 15)) << 4;
        result |= pick(0, 1) ? FILL_WIDTH : 0;
        result |= pick(0, 1) ? FILL_HEIGHT : 0;
        return result;
    }

    // Mostly modest minima, sometimes large ones that crowd the rectangle.
    int minimumRange() {
        const int ranges[] = {10, 60, 60, 400};
        return ranges[pick(0, 3)];
    }

    std::unique_ptr<LayoutNode> leaf() {
        const unsigned f = flags();
        const int minW = pick(0, minimumRange());
        const int minH = pick(0, minimumRange());
        const int maxW = pick(0, 2) == 0 ? minW + pick(0, 100) : NO_LIMIT;
        const int maxH = pick(0, 2) == 0 ? minH + pick(0, 100) : NO_LIMIT;
        const int width = f & WIDTH_PERCENT ? pick(0, 120) : pick(0, 100);
        const int height = f & HEIGHT_PERCENT ? pick(0, 120) : pick(0, 100);
        return std::make_unique<ProbeNode>(f, width, height, minW, maxW, minH, maxH);
    }

    std::unique_ptr<ProbePane> pane(int orientation, int depth) {
        auto result = std::make_unique<ProbePane>(orientation, pick(0, 10), pick(0, 6));
        const int children = pick(0, 12);
        for (int i = 0; i < children; ++i) {
            if (depth < 3 && pick(0, 3) == 0) {
                auto sub = pane(1 - orientation, depth + 1);
                const unsigned f = flags();
                const int size = pick(0, 150);
                EXPECT_TRUE(result->addPane(sub.release(), f, size));
            } else {
                result->children.push_back(leaf());
            }
        }
        return result;
    }

private:
    std::mt19937 rng_;
};

const std::vector<RECT>& placedRects(const LayoutNode& node) {
    if (const auto* pane = dynamic_cast<const ProbePane*>(&node)) {
        return pane->placed;
    }
    return dynamic_cast<const ProbeNode&>(node).placed;
}

// Checks how pane shared the rectangle it was given among its children, then the sub-panes.
void checkPane(const ProbePane& pane, int& checkedChildren) {
    ASSERT_EQ(pane.placed.size(), 1u);
    const bool row = pane.orientation == HORIZONTAL;
    RECT across = pane.placed[0];
    if (row) {
        across.top += pane.border;
        across.bottom -= pane.border;
    } else {
        across.left += pane.border;
        across.right -= pane.border;
    }
    long long pos = (row ? across.left : across.top) + pane.border;
    for (const auto& child : pane.children) {
        const std::vector<RECT>& placed = placedRects(*child);
        ASSERT_EQ(placed.size(), 1u) << "every child is placed exactly once";
        const RECT& slot = placed[0];
        const int start = row ? slot.left : slot.top;
        const int end = row ? slot.right : slot.bottom;
        // In order, from the near edge inside the border, exactly `gap` apart.
        ASSERT_EQ(start, pos);
        // Across the axis every child gets the pane's rectangle less the border.
        if (row) {
            ASSERT_EQ(slot.top, across.top);
            ASSERT_EQ(slot.bottom, across.bottom);
        } else {
            ASSERT_EQ(slot.left, across.left);
            ASSERT_EQ(slot.right, across.right);
        }
        const unsigned fixedBit = row ? WIDTH_FIXED : HEIGHT_FIXED;
        if (child->flags & fixedBit) {
            ASSERT_EQ(end - start, row ? child->requestedWidth(0) : child->requestedHeight(0));
        } else {
            ASSERT_GE(end - start, row ? child->minWidth() : child->minHeight());
        }
        pos = (long long)end + pane.gap;
        ++checkedChildren;
        if (const auto* sub = dynamic_cast<const ProbePane*>(child.get())) {
            checkPane(*sub, checkedChildren);
        }
    }
}

TEST(PaneDistributionProperty, RandomTreesInRandomRectangles) {
    RandomTrees random(20240611u);
    int checkedChildren = 0;
    for (int round = 0; round < 5000; ++round) {
        auto root = random.pane(random.pick(0, 1), 1);
        const int left = random.pick(-50, 50);
        const int top = random.pick(-50, 50);
        RECT rect{left, top, left + random.pick(-20, 1200), top + random.pick(-20, 900)};
        // Placing must end; then every pane's sharing is checked from the records.
        ASSERT_TRUE(root->place(rect));
        checkPane(*root, checkedChildren);
        if (HasFatalFailure()) {
            ADD_FAILURE() << "round " << round;
            return;
        }
    }
    EXPECT_GT(checkedChildren, 20000); // the trees were not trivially small
}

} // namespace
