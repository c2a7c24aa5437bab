#include "layout/layout_dialog.h"

#include <algorithm>
#include <string>

#include "layout/layout_pane.h"
#include "layout_test_support.h"
#include "platform/resources.h"
#include "platform/win_api.h"

namespace {

constexpr int GRIP = 16; // the size of the grip image registered for these tests

// The tree of buttonsOverList needs 155 × 33 pixels: the two buttons and their gap across, the
// row, a gap and the list's 5 pixels down. The frame adds 8 × 26 and the margins 10 × 10; the
// grip replaces the bottom margin by its own height.
constexpr int MIN_WIDTH = 8 + 155 + 10;
constexpr int MIN_HEIGHT_WITH_GRIP = 26 + 33 + 5 + GRIP;
constexpr int MIN_HEIGHT_WITHOUT_GRIP = 26 + 33 + 10;

class LayoutDialogTest : public HeadlessBackendTest {
protected:
    LayoutDialogTest() {
        registerTestDialog();
        registerGripBitmap(GRIP, GRIP);
    }

    static CWnd& wnd(HWND dialog) { return *CWnd::FromHandlePermanent(dialog); }
    RECT outer(HWND wnd) { return headless.record(wnd)->rect; }
    RECT client(HWND wnd) { return headless.record(wnd)->clientRect(); }
    RECT control(HWND dialog, int id) { return outer(::GetDlgItem(dialog, id)); }
    static SIZE sizeOf(const RECT& rect) { return SIZE{rect.width(), rect.height()}; }

    // The system's answer before the window narrows it.
    static MINMAXINFO systemLimits() {
        MINMAXINFO info;
        info.ptMaxSize = {HeadlessBackend::SCREEN_WIDTH, HeadlessBackend::SCREEN_HEIGHT};
        info.ptMinTrackSize = {HeadlessBackend::MIN_TRACK_WIDTH, HeadlessBackend::MIN_TRACK_HEIGHT};
        info.ptMaxTrackSize = {HeadlessBackend::SCREEN_WIDTH + HeadlessBackend::MAX_TRACK_EXTRA,
                               HeadlessBackend::SCREEN_HEIGHT + HeadlessBackend::MAX_TRACK_EXTRA};
        return info;
    }

    // Where the tree was laid out last, and where the grip and the list ended up.
    void expectLaidOut(TestDialog& dialog, HWND wnd, bool grip) {
        const RECT area = client(wnd);
        const int bottom = area.bottom - (grip ? GRIP : 5);
        ASSERT_FALSE(dialog.arranged.empty());
        EXPECT_EQ(dialog.arranged.back(), (RECT{5, 5, area.right - 5, bottom}));
        EXPECT_EQ(control(wnd, TestDialog::LIST), (RECT{5, 33, area.right - 5, bottom}));
        if (grip) {
            const HWND gripWnd = dialog.gripWindow();
            EXPECT_EQ(outer(gripWnd),
                      (RECT{area.right - GRIP, area.bottom - GRIP, area.right, area.bottom}));
            EXPECT_EQ(headless.zOrder(wnd).back(), gripWnd) << "the grip is drawn first";
        }
    }
};

bool sameLimits(const MINMAXINFO& a, const MINMAXINFO& b) {
    const auto same = [](const POINT& p, const POINT& q) { return p.x == q.x && p.y == q.y; };
    return same(a.ptReserved, b.ptReserved) && same(a.ptMaxSize, b.ptMaxSize) &&
           same(a.ptMaxPosition, b.ptMaxPosition) && same(a.ptMinTrackSize, b.ptMinTrackSize) &&
           same(a.ptMaxTrackSize, b.ptMaxTrackSize);
}

TEST_F(LayoutDialogTest, DraggingStopsAtTheTreesMinimumWithMarginsFrameAndGrip) {
    for (const bool grip : {true, false}) {
        TestDialog dialog(nullptr, grip, buttonsOverList);
        SIZE dragged{};
        MINMAXINFO asked;
        headless.queue([&](HWND d) {
            headless.dragFrame(d, 50, 50);
            dragged = sizeOf(outer(d));
            asked = headless.lastMinMaxInfo();
            expectLaidOut(dialog, d, grip);
        });
        dialog.DoModal();
        const int height = grip ? MIN_HEIGHT_WITH_GRIP : MIN_HEIGHT_WITHOUT_GRIP;
        EXPECT_EQ(dragged.cx, MIN_WIDTH);
        EXPECT_EQ(dragged.cy, height);
        MINMAXINFO expected = systemLimits();
        expected.ptMinTrackSize = {MIN_WIDTH, height};
        EXPECT_TRUE(sameLimits(asked, expected)) << "an unlimited tree leaves the maxima alone";
    }
}

TEST_F(LayoutDialogTest, TreeWithAMaximumLimitsTrackingAndMaximisedSize) {
    // Buttons over a probe of 50..400 × 20..200 pixels.
    const auto build = [](TestDialog& dialog) {
        auto root = buttonsOverList(dialog);
        root->children.pop_back();
        root->children.push_back(std::make_unique<ProbeNode>(0, 0, 0, 50, 400, 20, 200));
        return root;
    };
    TestDialog dialog(nullptr, true, build);
    SIZE dragged{};
    MINMAXINFO asked;
    RECT moved{};
    headless.queue([&](HWND d) {
        headless.dragFrame(d, 2000, 2000);
        dragged = sizeOf(outer(d));
        asked = headless.lastMinMaxInfo();
        wnd(d).MoveWindow(30, 40, 900, 700); // a programmatic move is corrected the same way
        moved = outer(d);
    });
    dialog.DoModal();
    const int maxW = 8 + 400 + 10;
    const int maxH = 26 + (23 + 5 + 200) + 5 + GRIP;
    EXPECT_EQ(dragged.cx, maxW);
    EXPECT_EQ(dragged.cy, maxH);
    MINMAXINFO expected = systemLimits();
    expected.ptMinTrackSize = {MIN_WIDTH, 26 + (23 + 5 + 20) + 5 + GRIP};
    expected.ptMaxTrackSize = {maxW, maxH};
    expected.ptMaxSize = {maxW, maxH};
    EXPECT_TRUE(sameLimits(asked, expected));
    EXPECT_EQ(moved, (RECT{30, 40, 30 + maxW, 40 + maxH}));
}

TEST_F(LayoutDialogTest, MaximumBelowTheMinimumIsRaisedToIt) {
    // A node that needs 300 pixels across but allows only 200.
    const auto build = [](TestDialog& dialog) {
        auto root = std::make_unique<LayoutPane>(&dialog, VERTICAL, 0, 0);
        root->children.push_back(std::make_unique<ProbeNode>(0, 0, 0, 300, 200, 20, 40));
        return root;
    };
    TestDialog dialog(nullptr, false, build);
    RECT moved{};
    headless.queue([&](HWND d) {
        wnd(d).MoveWindow(30, 40, 900, 700);
        moved = outer(d);
    });
    dialog.DoModal();
    EXPECT_EQ(moved, (RECT{30, 40, 30 + 8 + 300 + 10, 40 + 26 + 40 + 10}));
}

TEST_F(LayoutDialogTest, WithoutATreeTheLimitsAreUntouchedAndNothingIsLaidOut) {
    TestDialog dialog(nullptr, true);
    MINMAXINFO asked;
    RECT moved{};
    headless.queue([&](HWND d) {
        headless.dragFrame(d, 20, 20);
        asked = headless.lastMinMaxInfo();
        wnd(d).MoveWindow(30, 40, 60, 50);
        moved = outer(d);
    });
    dialog.DoModal();
    EXPECT_TRUE(sameLimits(asked, systemLimits()));
    EXPECT_EQ(moved, (RECT{30, 40, 90, 90}));
    EXPECT_TRUE(dialog.arranged.empty());
}

TEST_F(LayoutDialogTest, MoveBelowTheMinimumIsEnlargedKeepingTheTopLeft) {
    TestDialog dialog(nullptr, true, buttonsOverList);
    RECT moved{};
    int sizeMessages = 0;
    std::size_t arranges = 0;
    headless.queue([&](HWND d) {
        const int sizesBefore = headless.sentCount(d, WM_SIZE);
        const std::size_t arrangesBefore = dialog.arranged.size();
        wnd(d).MoveWindow(200, 100, 60, 40);
        moved = outer(d);
        sizeMessages = headless.sentCount(d, WM_SIZE) - sizesBefore;
        arranges = dialog.arranged.size() - arrangesBefore;
        expectLaidOut(dialog, d, true);
    });
    dialog.DoModal();
    EXPECT_EQ(moved, (RECT{200, 100, 200 + MIN_WIDTH, 100 + MIN_HEIGHT_WITH_GRIP}));
    // The move's WM_SIZE lays out after enlarging; the enlargement's own WM_SIZE lays out inside
    // it and finds the window within bounds, so the nesting ends after one level.
    EXPECT_EQ(sizeMessages, 2);
    EXPECT_EQ(arranges, 2u);
}

TEST_F(LayoutDialogTest, MinimisingLaysNothingOut) {
    TestDialog dialog(nullptr, true, buttonsOverList);
    std::vector<std::string> eventsWhileMinimising;
    std::size_t arranges = 0;
    headless.queue([&](HWND d) {
        const std::size_t eventsBefore = headless.events().size();
        const std::size_t arrangesBefore = dialog.arranged.size();
        ASSERT_TRUE(headless.minimize(d));
        eventsWhileMinimising.assign(headless.events().begin() + long(eventsBefore),
                                     headless.events().end());
        arranges = dialog.arranged.size() - arrangesBefore;
        ASSERT_TRUE(headless.restore(d));
        expectLaidOut(dialog, d, true);
    });
    dialog.DoModal();
    EXPECT_EQ(eventsWhileMinimising, std::vector<std::string>{"minimize dialog 950"});
    EXPECT_EQ(arranges, 0u);
}

TEST_F(LayoutDialogTest, GripStaysInTheCornerAtEverySize) {
    for (const bool grip : {true, false}) {
        TestDialog dialog(nullptr, grip, buttonsOverList);
        headless.queue([&](HWND d) {
            EXPECT_EQ(::GetDlgItem(d, 0xFFFF) != nullptr, grip);
            for (const SIZE size : {SIZE{400, 300}, SIZE{10, 10}, SIZE{700, 520}, SIZE{301, 199}}) {
                headless.dragFrame(d, size.cx, size.cy);
                SCOPED_TRACE(std::to_string(size.cx) + " x " + std::to_string(size.cy));
                expectLaidOut(dialog, d, grip);
            }
        });
        dialog.DoModal();
    }
}

TEST_F(LayoutDialogTest, GripIsCreatedHiddenThenAnchoredShownAndSentToTheBottom) {
    TestDialog dialog(nullptr, true);
    dialog.DoModal();
    std::vector<std::string> grip;
    for (const std::string& event : headless.events()) {
        if (event.ends_with("control 65535")) {
            grip.push_back(event);
        }
    }
    const std::vector<std::string> expected{"move control 65535", "zorder bottom control 65535",
                                            "show control 65535", "zorder bottom control 65535",
                                            "destroy control 65535"};
    EXPECT_EQ(grip, expected);
}

TEST_F(LayoutDialogTest, WithoutTheGripImageTheLayoutKeepsAllFourMargins) {
    Resources::clear();
    registerTestDialog();
    TestDialog dialog(nullptr, true, buttonsOverList);
    SIZE dragged{};
    headless.queue([&](HWND d) {
        EXPECT_EQ(::GetDlgItem(d, 0xFFFF), nullptr);
        headless.dragFrame(d, 10, 10);
        dragged = sizeOf(outer(d));
        expectLaidOut(dialog, d, false);
    });
    dialog.DoModal();
    EXPECT_EQ(dragged.cy, MIN_HEIGHT_WITHOUT_GRIP);
}

TEST_F(LayoutDialogTest, RedrawIsOffWhileArrangingAVisibleWindowAndItIsInvalidatedOnce) {
    TestDialog dialog(nullptr, true, buttonsOverList);
    std::vector<std::string> events;
    int invalidations = 0;
    headless.queue([&](HWND d) {
        const std::size_t before = headless.events().size();
        const int invalidationsBefore = headless.record(d)->invalidations;
        wnd(d).MoveWindow(20, 30, 500, 400);
        events.assign(headless.events().begin() + long(before), headless.events().end());
        invalidations = headless.record(d)->invalidations - invalidationsBefore;
    });
    dialog.DoModal();
    const std::vector<std::string> expected{
        "move dialog 950", // the test's move; its WM_SIZE anchors the grip
        "move control 65535",    "zorder bottom control 65535",
        "move dialog 950", // updateLayout moves the window even when nothing changes
        "redraw off dialog 950", "move control 101",
        "move control 102",      "move control 103",
        "redraw on dialog 950",  "invalidate dialog 950"};
    EXPECT_EQ(events, expected);
    EXPECT_EQ(invalidations, 1);
    // While the window was still hidden (its initialisation), redraw was left alone.
    ASSERT_GE(dialog.redrawWhileArranging.size(), 2u);
    EXPECT_TRUE(dialog.redrawWhileArranging.front());
    EXPECT_FALSE(dialog.redrawWhileArranging.back());
    const auto show =
        std::find(headless.events().begin(), headless.events().end(), "show dialog 950");
    EXPECT_EQ(std::find(headless.events().begin(), show, "redraw off dialog 950"), show);
}

TEST_F(LayoutDialogTest, SmallIconIsResource128WhenThereIsOne) {
    {
        TestDialog dialog(nullptr, false);
        HICON icon = reinterpret_cast<HICON>(1);
        headless.queue([&](HWND d) { icon = headless.record(d)->smallIcon; });
        dialog.DoModal();
        EXPECT_EQ(icon, nullptr);
    }
    const std::vector<std::uint8_t> bmp = makeBmp(16, 16);
    ASSERT_TRUE(Resources::addIcon(128, {{bmp.data(), bmp.size()}}));
    TestDialog dialog(nullptr, false);
    HICON icon = nullptr;
    headless.queue([&](HWND d) { icon = headless.record(d)->smallIcon; });
    dialog.DoModal();
    EXPECT_NE(icon, nullptr);
    EXPECT_EQ(icon, Resources::icon(128));
}

TEST_F(LayoutDialogTest, DestroyingTheWindowDeletesTheTree) {
    const auto build = [](TestDialog& dialog) {
        auto root = buttonsOverList(dialog);
        root->children.push_back(std::make_unique<ProbeNode>(0, 0, 0));
        return root;
    };
    TestDialog dialog(nullptr, true, build);
    int probesWhileOpen = 0;
    headless.queue([&](HWND) { probesWhileOpen = ProbeNode::alive; });
    dialog.DoModal();
    EXPECT_EQ(probesWhileOpen, 1);
    EXPECT_EQ(ProbeNode::alive, 0);
    EXPECT_EQ(dialog.rootPane, nullptr);
}

} // namespace
