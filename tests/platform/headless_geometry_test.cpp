// The headless window system's geometry: dialog units, frames, size messages, minimising,
// frame drags, stacking order and window lifetime.

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "tests/support/headless_backend_test.h"
#include "tests/support/make_template.h"
#include "tests/support/recording_dialog.h"

namespace {

constexpr int SIZABLE = 9100;
constexpr int FIXED = 9101;
constexpr int BUTTON = 1003;
constexpr int LIST = 1000;
constexpr int RADIO = 1001;

// Styled as the main window's template, WS_VISIBLE included.
DialogTemplate sizableTemplate(int x = 0, int y = 0) {
    DialogTemplate t = makeTemplate(
        SIZABLE,
        {
            {IDOK, ControlKind::PushButton, "OK", 260, 7, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
            {LIST, ControlKind::ListView, "", 7, 42, 306, 152, LVS_REPORT | WS_TABSTOP, 0},
            {RADIO, ControlKind::RadioButton, "Mode", 27, 10, 53, 10, BS_AUTORADIOBUTTON | WS_GROUP,
             0},
            {BUTTON, ControlKind::PushButton, "Copy", 7, 24, 50, 14, WS_TABSTOP, 0},
        },
        {.cx = 320, .cy = 201, .x = x, .y = y});
    t.style |= WS_VISIBLE;
    return t;
}

DialogTemplate fixedTemplate() {
    return makeTemplate(FIXED, {}, {.cx = 100, .cy = 40, .resizable = false});
}

// A size message as (type, client width, client height).
struct Size {
    UINT type;
    int cx;
    int cy;
    friend bool operator==(const Size&, const Size&) = default;
};

void PrintTo(const Size& size, std::ostream* out) {
    *out << "(type " << size.type << ", " << size.cx << " x " << size.cy << ")";
}

// The size messages a recording dialog received, oldest first.
std::vector<Size> sizesOf(const RecordingDialog& dialog) {
    std::vector<Size> sizes;
    for (const Message& m : dialog.of(WM_SIZE)) {
        sizes.push_back(
            Size{UINT(m.wParam), int(LOWORD(WPARAM(m.lParam))), int(HIWORD(WPARAM(m.lParam)))});
    }
    return sizes;
}

class HeadlessTest : public HeadlessBackendTest {
protected:
    HWND makeDialog(const DialogTemplate& t = sizableTemplate()) {
        return headless.createDialog(t, nullptr);
    }
    HWND shownDialog(const DialogTemplate& t = sizableTemplate()) {
        const HWND dlg = makeDialog(t);
        headless.showWindow(dlg, ShowCommand::Show);
        return dlg;
    }

    RecordingDialog probe; ///< attached to a dialog by the tests that listen to its messages
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
    std::vector<RECT> seen; // the window rectangle as each size message found it
    probe.onMessage = [&](const Message& m) {
        if (m.message == WM_SIZE) {
            RECT r;
            probe.GetWindowRect(&r);
            seen.push_back(r);
        }
    };
    probe.Attach(dlg);
    headless.moveWindow(dlg, 10, 20, 600, 400);
    EXPECT_EQ(sizesOf(probe), (std::vector<Size>{{SIZE_RESTORED, 592, 374}}));
    EXPECT_EQ(seen, (std::vector<RECT>{{10, 20, 610, 420}}))
        << "the handler sees the new rectangle already in place";
}

TEST_F(HeadlessSizeMessages, AMoveThatKeepsTheSizeSendsNone) {
    const HWND dlg = makeDialog();
    probe.Attach(dlg);
    headless.moveWindow(dlg, 300, 200, 488, 353);
    headless.moveWindow(dlg, 300, 200, 488, 353);
    EXPECT_EQ(probe.count(WM_SIZE), 0);
    EXPECT_EQ(headless.windowRect(dlg), (RECT{300, 200, 788, 553}));
}

TEST_F(HeadlessSizeMessages, AMoveFromWithinASizeHandlerNestsAndSettles) {
    // As a layout that corrects a too small window from its size handler.
    const HWND dlg = makeDialog();
    probe.onMessage = [&](const Message& m) {
        if (m.message != WM_SIZE) {
            return;
        }
        RECT r;
        probe.GetWindowRect(&r);
        if (r.width() < 500) {
            probe.MoveWindow(r.left, r.top, 500, r.height());
        }
    };
    probe.Attach(dlg);
    headless.moveWindow(dlg, 0, 0, 200, 300);
    const std::vector<Size> sizes = sizesOf(probe);
    ASSERT_EQ(sizes.size(), 2u);
    EXPECT_EQ(sizes[0].cx, 192);
    EXPECT_EQ(sizes[1].cx, 492);
    EXPECT_EQ(headless.windowRect(dlg), (RECT{0, 0, 500, 300}));
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
    probe.Attach(dlg);
    ASSERT_TRUE(headless.minimize(dlg, 36, 36));
    EXPECT_TRUE(headless.isIconic(dlg));
    const RECT parked = headless.windowRect(dlg);
    EXPECT_EQ(parked.left, -32000);
    EXPECT_EQ(parked.top, -32000);
    EXPECT_LT(parked.right, 0);
    EXPECT_LT(parked.bottom, 0);
    EXPECT_EQ(headless.clientRect(dlg), (RECT{0, 0, 36, 36}));
    EXPECT_EQ(sizesOf(probe), (std::vector<Size>{{SIZE_MINIMIZED, 0, 0}}));
}

TEST_F(HeadlessMinimize, RestoringBringsTheRectangleBackAndReportsItsClientSize) {
    const HWND dlg = shownDialog();
    headless.moveWindow(dlg, 40, 30, 600, 400);
    probe.Attach(dlg);
    headless.minimize(dlg);
    ASSERT_TRUE(headless.restore(dlg));
    EXPECT_FALSE(headless.isIconic(dlg));
    EXPECT_EQ(headless.windowRect(dlg), (RECT{40, 30, 640, 430}));
    const std::vector<Size> sizes = sizesOf(probe);
    ASSERT_EQ(sizes.size(), 2u);
    EXPECT_EQ(sizes[1], (Size{SIZE_RESTORED, 592, 374}));
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
    probe.minTrack = POINT{300, 200};
    probe.maxTrack = POINT{700, 500};
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
    EXPECT_EQ(probe.count(WM_SIZE), 3);
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
    probe.minTrack = POINT{500, 400};
    probe.maxTrack = POINT{300, 200};
    probe.Attach(dlg);
    headless.dragFrame(dlg, 350, 250);
    EXPECT_EQ(headless.windowRect(dlg), (RECT{0, 0, 500, 400}));
}

TEST_F(HeadlessFrameDrag, ProgramMovesAreNeverClampedNorAsked) {
    const HWND dlg = shownDialog();
    probe.minTrack = POINT{300, 200};
    probe.maxTrack = POINT{700, 500};
    probe.Attach(dlg);
    headless.moveWindow(dlg, 0, 0, 50, 20);
    EXPECT_EQ(headless.windowRect(dlg), (RECT{0, 0, 50, 20}));
    EXPECT_EQ(headless.sentCount(dlg, WM_GETMINMAXINFO), 0);
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
