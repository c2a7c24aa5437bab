// The headless window system's geometry: dialog units, frames, size messages, minimising,
// frame drags, stacking order and window lifetime.

#include <gtest/gtest.h>

#include <vector>

#include "platform/headless/scoped_headless_backend.h"
#include "platform/wnd.h"

namespace {

constexpr int SIZABLE = 9100;
constexpr int FIXED = 9101;
constexpr int BUTTON = 1003;
constexpr int LIST = 1000;
constexpr int RADIO = 1001;

DialogTemplate sizableTemplate(int x = 0, int y = 0) {
    DialogTemplate t;
    t.id = SIZABLE;
    t.caption = "Sizable";
    t.x = x;
    t.y = y;
    t.cx = 320;
    t.cy = 201;
    t.style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_SETFONT;
    t.controls = {
        {IDOK, ControlKind::PushButton, "OK", 260, 7, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
        {LIST, ControlKind::ListView, "", 7, 42, 306, 152, LVS_REPORT | WS_TABSTOP, 0},
        {RADIO, ControlKind::RadioButton, "Mode", 27, 10, 53, 10, BS_AUTORADIOBUTTON | WS_GROUP, 0},
        {BUTTON, ControlKind::PushButton, "Copy", 7, 24, 50, 14, WS_TABSTOP, 0},
    };
    return t;
}

DialogTemplate fixedTemplate() {
    DialogTemplate t;
    t.id = FIXED;
    t.caption = "Fixed";
    t.cx = 100;
    t.cy = 40;
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    return t;
}

// A window object that notes the size and tracking messages it gets, and what it saw then.
class Probe : public CWnd {
public:
    struct Size {
        UINT type;
        int cx;
        int cy;
        RECT windowRect; // as the window system reported it while the message was handled
    };
    std::vector<Size> sizes;
    MINMAXINFO limits{}; // what OnGetMinMaxInfo answers when answerLimits is set
    bool answerLimits = false;
    int growOnce = 0; // a first WM_SIZE below this width moves the window to it

protected:
    void OnSize(UINT type, int cx, int cy) {
        RECT r;
        GetWindowRect(&r);
        sizes.push_back({type, cx, cy, r});
        if (growOnce > 0 && r.width() < growOnce) {
            MoveWindow(r.left, r.top, growOnce, r.height());
        }
    }
    void OnGetMinMaxInfo(MINMAXINFO* info) {
        if (answerLimits) {
            info->ptMinTrackSize = limits.ptMinTrackSize;
            info->ptMaxTrackSize = limits.ptMaxTrackSize;
        }
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Probe, CWnd)
ON_WM_SIZE()
ON_WM_GETMINMAXINFO()
END_MESSAGE_MAP()

class HeadlessTest : public testing::Test {
protected:
    HWND makeDialog(const DialogTemplate& t = sizableTemplate()) {
        return headless.createDialog(t, nullptr);
    }
    HWND shownDialog(const DialogTemplate& t = sizableTemplate()) {
        const HWND dlg = makeDialog(t);
        headless.showWindow(dlg, ShowCommand::Show);
        return dlg;
    }

    ScopedHeadlessBackend scoped;
    HeadlessBackend& headless = scoped.get();
};

using HeadlessGeometry = HeadlessTest;
using HeadlessSizeMessages = HeadlessTest;
using HeadlessMinimize = HeadlessTest;
using HeadlessFrameDrag = HeadlessTest;
using HeadlessZOrder = HeadlessTest;
using HeadlessLifetime = HeadlessTest;

} // namespace

TEST_F(HeadlessGeometry, TemplateSizeIsTheClientSizeInsideAFrameAndCaption) {
    const HWND dlg = makeDialog();
    // 320 × 201 dialog units: 480 × 326.625 → 327 pixels of client area.
    EXPECT_EQ(headless.clientRect(dlg), (RECT{0, 0, 480, 327}));
    EXPECT_EQ(headless.windowRect(dlg), (RECT{0, 0, 488, 353}));
    EXPECT_EQ(headless.clientOrigin(dlg).x, 4);
    EXPECT_EQ(headless.clientOrigin(dlg).y, 22);
}

TEST_F(HeadlessGeometry, ControlsConvertPositionAndSizeSeparatelyRoundingToNearest) {
    const HWND dlg = makeDialog(sizableTemplate(10, 8));
    // The outer top-left stands at the template position: (15, 13).
    EXPECT_EQ(headless.windowRect(dlg).left, 15);
    EXPECT_EQ(headless.windowRect(dlg).top, 13);
    // OK at (260, 7), 50 × 14: (390, 11), 75 × 23 within the client area at (19, 35).
    EXPECT_EQ(headless.windowRect(headless.dialogItem(dlg, IDOK)),
              (RECT{19 + 390, 35 + 11, 19 + 465, 35 + 34}));
    EXPECT_EQ(headless.clientRect(headless.dialogItem(dlg, IDOK)), (RECT{0, 0, 75, 23}));
    // (27, 10), 53 × 10: 40.5 → 41, 16.25 → 16, 79.5 → 80, 16.25 → 16.
    EXPECT_EQ(headless.windowRect(headless.dialogItem(dlg, RADIO)),
              (RECT{19 + 41, 35 + 16, 19 + 41 + 80, 35 + 16 + 16}));
    EXPECT_EQ(HeadlessBackend::dluToPixelsX(-1), -2) << "halves round away from zero";
}

TEST_F(HeadlessGeometry, ControlsFollowTheirDialogOnTheScreen) {
    const HWND dlg = makeDialog();
    const HWND ok = headless.dialogItem(dlg, IDOK);
    const RECT before = headless.windowRect(ok);
    headless.moveWindow(dlg, 100, 50, 488, 353);
    const RECT after = headless.windowRect(ok);
    EXPECT_EQ(after.left - before.left, 100);
    EXPECT_EQ(after.top - before.top, 50);
    EXPECT_EQ(headless.clientOrigin(ok).x, after.left);
    EXPECT_EQ(headless.clientOrigin(ok).y, after.top);
}

TEST_F(HeadlessGeometry, ANewDialogIsHiddenAndItsControlsShowWithIt) {
    const HWND dlg = makeDialog();
    const HWND ok = headless.dialogItem(dlg, IDOK);
    EXPECT_FALSE(headless.isVisible(dlg));
    EXPECT_FALSE(headless.isVisible(ok));
    headless.showWindow(dlg, ShowCommand::Show);
    EXPECT_TRUE(headless.isVisible(ok));
    headless.showWindow(ok, ShowCommand::Hide);
    EXPECT_FALSE(headless.isVisible(ok));
    EXPECT_TRUE(headless.isVisible(dlg));
}

TEST_F(HeadlessSizeMessages, ASizeChangeIsReportedBeforeTheMoveReturns) {
    const HWND dlg = makeDialog();
    Probe probe;
    probe.Attach(dlg);
    headless.moveWindow(dlg, 10, 20, 600, 400);
    ASSERT_EQ(probe.sizes.size(), 1u);
    EXPECT_EQ(probe.sizes[0].type, SIZE_RESTORED);
    EXPECT_EQ(probe.sizes[0].cx, 592);
    EXPECT_EQ(probe.sizes[0].cy, 374);
    EXPECT_EQ(probe.sizes[0].windowRect, (RECT{10, 20, 610, 420}))
        << "the handler sees the new rectangle already in place";
    probe.Detach();
}

TEST_F(HeadlessSizeMessages, AMoveThatKeepsTheSizeSendsNone) {
    const HWND dlg = makeDialog();
    Probe probe;
    probe.Attach(dlg);
    headless.moveWindow(dlg, 300, 200, 488, 353);
    headless.moveWindow(dlg, 300, 200, 488, 353);
    EXPECT_TRUE(probe.sizes.empty());
    EXPECT_EQ(headless.windowRect(dlg), (RECT{300, 200, 788, 553}));
    probe.Detach();
}

TEST_F(HeadlessSizeMessages, AMoveFromWithinASizeHandlerNestsAndSettles) {
    // As a layout that corrects a too small window from its size handler.
    const HWND dlg = makeDialog();
    Probe probe;
    probe.growOnce = 500;
    probe.Attach(dlg);
    headless.moveWindow(dlg, 0, 0, 200, 300);
    ASSERT_EQ(probe.sizes.size(), 2u);
    EXPECT_EQ(probe.sizes[0].cx, 192);
    EXPECT_EQ(probe.sizes[1].cx, 492);
    EXPECT_EQ(headless.windowRect(dlg), (RECT{0, 0, 500, 300}));
    probe.Detach();
}

TEST_F(HeadlessSizeMessages, ControlsHearOfTheirOwnSizeChanges) {
    const HWND dlg = makeDialog();
    const HWND list = headless.dialogItem(dlg, LIST);
    headless.moveWindow(list, 5, 5, 300, 200);
    headless.moveWindow(list, 9, 9, 300, 200);
    EXPECT_EQ(headless.sentCount(list, WM_SIZE), 1);
    EXPECT_EQ(headless.sentCount(dlg, WM_SIZE), 0);
}

TEST_F(HeadlessSizeMessages, ANegativeSizeBecomesAnEmptyWindow) {
    const HWND dlg = makeDialog();
    headless.moveWindow(dlg, 0, 0, -20, 5);
    EXPECT_EQ(headless.windowRect(dlg), (RECT{0, 0, 0, 5}));
    EXPECT_EQ(headless.clientRect(dlg), (RECT{0, 0, 0, 0}));
}

TEST_F(HeadlessMinimize, MinimisingParksTheWindowAndReportsAZeroSize) {
    const HWND dlg = shownDialog();
    Probe probe;
    probe.Attach(dlg);
    ASSERT_TRUE(headless.minimize(dlg, 36, 36));
    EXPECT_TRUE(headless.isIconic(dlg));
    const RECT parked = headless.windowRect(dlg);
    EXPECT_EQ(parked.left, -32000);
    EXPECT_EQ(parked.top, -32000);
    EXPECT_LT(parked.right, 0);
    EXPECT_LT(parked.bottom, 0);
    EXPECT_EQ(headless.clientRect(dlg), (RECT{0, 0, 36, 36}));
    ASSERT_EQ(probe.sizes.size(), 1u);
    EXPECT_EQ(probe.sizes[0].type, SIZE_MINIMIZED);
    EXPECT_EQ(probe.sizes[0].cx, 0);
    EXPECT_EQ(probe.sizes[0].cy, 0);
    probe.Detach();
}

TEST_F(HeadlessMinimize, RestoringBringsTheRectangleBackAndReportsItsClientSize) {
    const HWND dlg = shownDialog();
    headless.moveWindow(dlg, 40, 30, 600, 400);
    Probe probe;
    probe.Attach(dlg);
    headless.minimize(dlg);
    ASSERT_TRUE(headless.restore(dlg));
    EXPECT_FALSE(headless.isIconic(dlg));
    EXPECT_EQ(headless.windowRect(dlg), (RECT{40, 30, 640, 430}));
    ASSERT_EQ(probe.sizes.size(), 2u);
    EXPECT_EQ(probe.sizes[1].type, SIZE_RESTORED);
    EXPECT_EQ(probe.sizes[1].cx, 592);
    EXPECT_EQ(probe.sizes[1].cy, 374);
    probe.Detach();
}

TEST_F(HeadlessMinimize, AMoveWhileMinimisedTakesEffectOnRestore) {
    const HWND dlg = shownDialog();
    headless.minimize(dlg);
    headless.moveWindow(dlg, 5, 6, 300, 200);
    EXPECT_EQ(headless.windowRect(dlg).left, -32000);
    EXPECT_EQ(headless.sentCount(dlg, WM_SIZE), 1) << "only the minimise itself";
    headless.restore(dlg);
    EXPECT_EQ(headless.windowRect(dlg), (RECT{5, 6, 305, 206}));
}

TEST_F(HeadlessMinimize, AMinimisedWindowTakesNoClicksButCanBeClosedAndRestored) {
    const HWND dlg = shownDialog();
    headless.minimize(dlg);
    EXPECT_FALSE(headless.click(dlg, BUTTON));
    EXPECT_FALSE(headless.minimize(dlg));
    EXPECT_FALSE(headless.dragFrame(dlg, 600, 400));
    EXPECT_EQ(headless.ignoredInput().size(), 3u);
    EXPECT_TRUE(headless.closeBox(dlg));
    EXPECT_TRUE(headless.restore(dlg));
    EXPECT_FALSE(headless.restore(dlg)) << "nothing to restore any more";
}

TEST_F(HeadlessFrameDrag, TheDragIsClampedToTheWindowsAnswer) {
    const HWND dlg = shownDialog(sizableTemplate(10, 10));
    Probe probe;
    probe.answerLimits = true;
    probe.limits.ptMinTrackSize = POINT{300, 200};
    probe.limits.ptMaxTrackSize = POINT{700, 500};
    probe.Attach(dlg);
    const RECT start = headless.windowRect(dlg);

    headless.dragFrame(dlg, 100, 100);
    EXPECT_EQ(headless.windowRect(dlg),
              (RECT{start.left, start.top, start.left + 300, start.top + 200}));
    headless.dragFrame(dlg, 900, 900);
    EXPECT_EQ(headless.windowRect(dlg),
              (RECT{start.left, start.top, start.left + 700, start.top + 500}));
    headless.dragFrame(dlg, 450, 350);
    EXPECT_EQ(headless.windowRect(dlg).width(), 450);
    EXPECT_EQ(headless.sentCount(dlg, WM_GETMINMAXINFO), 3);
    EXPECT_EQ(probe.sizes.size(), 3u);
    probe.Detach();
}

TEST_F(HeadlessFrameDrag, WithoutAnAnswerTheSystemLimitsHold) {
    const HWND dlg = shownDialog();
    headless.dragFrame(dlg, 10, 10);
    EXPECT_EQ(headless.windowRect(dlg), (RECT{0, 0, 112, 27}));
    headless.dragFrame(dlg, 5000, 5000);
    EXPECT_EQ(headless.windowRect(dlg), (RECT{0, 0, 1036, 780}));
    EXPECT_EQ(headless.lastMinMaxInfo().ptMaxSize.x, 1024);
    EXPECT_EQ(headless.lastMinMaxInfo().ptMaxSize.y, 768);
}

TEST_F(HeadlessFrameDrag, AMinimumAboveTheMaximumWins) {
    const HWND dlg = shownDialog();
    Probe probe;
    probe.answerLimits = true;
    probe.limits.ptMinTrackSize = POINT{500, 400};
    probe.limits.ptMaxTrackSize = POINT{300, 200};
    probe.Attach(dlg);
    headless.dragFrame(dlg, 350, 250);
    EXPECT_EQ(headless.windowRect(dlg), (RECT{0, 0, 500, 400}));
    probe.Detach();
}

TEST_F(HeadlessFrameDrag, ProgramMovesAreNeverClampedNorAsked) {
    const HWND dlg = shownDialog();
    Probe probe;
    probe.answerLimits = true;
    probe.limits.ptMinTrackSize = POINT{300, 200};
    probe.limits.ptMaxTrackSize = POINT{700, 500};
    probe.Attach(dlg);
    headless.moveWindow(dlg, 0, 0, 50, 20);
    EXPECT_EQ(headless.windowRect(dlg), (RECT{0, 0, 50, 20}));
    EXPECT_EQ(headless.sentCount(dlg, WM_GETMINMAXINFO), 0);
    probe.Detach();
}

TEST_F(HeadlessFrameDrag, AWindowWithoutASizingFrameCannotBeDragged) {
    const HWND dlg = shownDialog(fixedTemplate());
    const RECT before = headless.windowRect(dlg);
    EXPECT_FALSE(headless.dragFrame(dlg, 600, 400));
    EXPECT_EQ(headless.windowRect(dlg), before);
    EXPECT_EQ(headless.sentCount(dlg, WM_GETMINMAXINFO), 0);
}

TEST_F(HeadlessZOrder, ControlsStackInCreationOrderAndMoveWithoutChangingTabOrder) {
    const HWND dlg = makeDialog();
    const HWND ok = headless.dialogItem(dlg, IDOK);
    const HWND list = headless.dialogItem(dlg, LIST);
    const HWND radio = headless.dialogItem(dlg, RADIO);
    const HWND button = headless.dialogItem(dlg, BUTTON);
    EXPECT_EQ(headless.zOrder(dlg), (std::vector<HWND>{ok, list, radio, button}));

    headless.setZOrder(ok, ZOrder::Bottom);
    headless.setZOrder(button, ZOrder::Top);
    EXPECT_EQ(headless.zOrder(dlg), (std::vector<HWND>{button, list, radio, ok}));
    EXPECT_EQ(headless.nextControl(ok), list);
    EXPECT_EQ(headless.nextControl(button), nullptr);
}

TEST_F(HeadlessZOrder, ALaterControlGoesBelowTheOthers) {
    const HWND dlg = makeDialog();
    const HWND grip = headless.createControl(dlg, ControlKind::StaticBitmap, "",
                                             WS_CHILD | SS_BITMAP, RECT{0, 0, 24, 24}, 0xFFFF);
    EXPECT_EQ(headless.zOrder(dlg).back(), grip);
    EXPECT_FALSE(headless.isVisible(grip)) << "created without WS_VISIBLE";
    EXPECT_EQ(headless.parentOf(grip), dlg);
    EXPECT_EQ(headless.parentOf(dlg), nullptr);
}

TEST_F(HeadlessLifetime, DestroyedHandlesStayRecognisablyDead) {
    const HWND dlg = makeDialog();
    const HWND ok = headless.dialogItem(dlg, IDOK);
    headless.destroyWindow(dlg);
    EXPECT_FALSE(headless.isWindow(dlg));
    EXPECT_FALSE(headless.isWindow(ok)) << "controls go with their dialog";
    EXPECT_EQ(headless.record(ok), nullptr);
    // Calls on stale handles are harmless no-ops.
    headless.moveWindow(ok, 0, 0, 10, 10);
    headless.setWindowText(dlg, "gone");
    EXPECT_EQ(headless.windowText(dlg), "");
    EXPECT_EQ(headless.dialogItem(dlg, IDOK), nullptr);
    EXPECT_TRUE(headless.topLevelWindows().empty());
}

TEST_F(HeadlessLifetime, OwnedDialogsGoWithTheirOwner) {
    const HWND owner = makeDialog();
    const HWND owned = headless.createDialog(fixedTemplate(), owner);
    const HWND other = makeDialog(fixedTemplate());
    headless.destroyWindow(owner);
    EXPECT_FALSE(headless.isWindow(owned));
    EXPECT_TRUE(headless.isWindow(other));
    EXPECT_EQ(headless.findDialog(FIXED), other);
}

TEST_F(HeadlessLifetime, DestroyingAControlRemovesItFromItsDialog) {
    const HWND dlg = makeDialog();
    const HWND list = headless.dialogItem(dlg, LIST);
    headless.destroyWindow(list);
    EXPECT_EQ(headless.dialogItem(dlg, LIST), nullptr);
    EXPECT_EQ(headless.nextControl(headless.dialogItem(dlg, IDOK)),
              headless.dialogItem(dlg, RADIO));
    EXPECT_EQ(headless.zOrder(dlg).size(), 3u);
}
