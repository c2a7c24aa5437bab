// Window geometry on Qt: outer and client rectangles, size messages, tracking limits,
// minimising and the size grip.

#include <QApplication>
#include <QMouseEvent>
#include <QScreen>

#include "platform/image.h"
#include "platform/qt/qt_size_grip.h"
#include "qt_test_support.h"

namespace {

constexpr int DIALOG = 710;
constexpr int GRIP_ID = 0xFFFF;

struct Size {
    int cx;
    int cy;
    friend bool operator==(const Size&, const Size&) = default;
};

std::vector<Size> sizesOf(const RecordingDialog& dialog, UINT type = SIZE_RESTORED) {
    std::vector<Size> sizes;
    for (const Message& m : dialog.of(WM_SIZE)) {
        if (m.wParam == type) {
            sizes.push_back(Size{int(LOWORD(WPARAM(m.lParam))), int(HIWORD(WPARAM(m.lParam)))});
        }
    }
    return sizes;
}

void sendMouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
    QMouseEvent event(type, at, target->mapToGlobal(at),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

Image solidImage(int width, int height, std::uint32_t argb) {
    Image image;
    image.width = width;
    image.height = height;
    image.pixels.assign(std::size_t(width) * height, argb);
    return image;
}

} // namespace

class QtGeometryTest : public QtRecordingDialogTest {
protected:
    void SetUp() override {
        QtRecordingDialogTest::SetUp();
        wnd = open(dialog, makeTemplate(DIALOG, {}));
    }
    Size frameSize() const {
        const RECT outer = qt.windowRect(wnd);
        const RECT client = qt.clientRect(wnd);
        return Size{int(outer.width() - client.right), int(outer.height() - client.bottom)};
    }
};

TEST_F(QtGeometryTest, HiddenMoveReportsTheNewSizeOnceAndShowingAddsNone) {
    const Size frame = frameSize();
    qt.moveWindow(wnd, 30, 40, 400 + frame.cx, 250 + frame.cy);
    EXPECT_EQ(sizesOf(dialog), (std::vector<Size>{{400, 250}}));
    const RECT outer = qt.windowRect(wnd);
    EXPECT_EQ(outer.left, 30);
    EXPECT_EQ(outer.top, 40);
    qt.showWindow(wnd, ShowCommand::Show);
    QApplication::processEvents();
    EXPECT_EQ(sizesOf(dialog).size(), 1u);
    EXPECT_EQ(widget(wnd)->size(), QSize(400, 250));
}

TEST_F(QtGeometryTest, AMoveThatKeepsTheSizeSendsNoSizeMessage) {
    qt.showWindow(wnd, ShowCommand::Show);
    QApplication::processEvents();
    dialog.messages.clear();
    const RECT outer = qt.windowRect(wnd);
    qt.moveWindow(wnd, outer.left, outer.top, outer.width(), outer.height());
    qt.moveWindow(wnd, outer.left + 25, outer.top + 5, outer.width(), outer.height());
    EXPECT_TRUE(sizesOf(dialog).empty());
    EXPECT_EQ(qt.windowRect(wnd).left, outer.left + 25);
}

TEST_F(QtGeometryTest, VisibleMoveReportsOnceBeforeReturning) {
    qt.showWindow(wnd, ShowCommand::Show);
    QApplication::processEvents();
    dialog.messages.clear();
    const Size frame = frameSize();
    qt.moveWindow(wnd, 10, 10, 500 + frame.cx, 300 + frame.cy);
    EXPECT_EQ(sizesOf(dialog), (std::vector<Size>{{500, 300}}));
    QApplication::processEvents();
    EXPECT_EQ(sizesOf(dialog).size(), 1u);
    EXPECT_EQ(qt.windowRect(wnd).right - qt.windowRect(wnd).left, 500 + frame.cx);
}

TEST_F(QtGeometryTest, ASizeHandlerMayMoveTheWindowAgainAsALayoutDoes) {
    qt.showWindow(wnd, ShowCommand::Show);
    QApplication::processEvents();
    dialog.messages.clear();
    // Like the layout host: a size below 300 pixels wide is corrected from inside WM_SIZE.
    dialog.onMessage = [this](const Message& m) {
        if (m.message == WM_SIZE && LOWORD(WPARAM(m.lParam)) < 300) {
            RECT outer;
            dialog.GetWindowRect(&outer);
            dialog.MoveWindow(outer.left, outer.top, outer.width() + 100, outer.height());
        }
    };
    const Size frame = frameSize();
    qt.moveWindow(wnd, 0, 0, 250 + frame.cx, 200 + frame.cy);
    EXPECT_EQ(sizesOf(dialog), (std::vector<Size>{{250, 200}, {350, 200}}));
    EXPECT_EQ(widget(wnd)->size(), QSize(350, 200));
}

TEST_F(QtGeometryTest, OuterRectangleIsTheFrameGeometry) {
    qt.showWindow(wnd, ShowCommand::Show);
    QApplication::processEvents();
    const QRect frame = widget(wnd)->frameGeometry();
    const RECT outer = qt.windowRect(wnd);
    EXPECT_EQ(outer.left, frame.left());
    EXPECT_EQ(outer.top, frame.top());
    EXPECT_EQ(outer.width(), frame.width());
    EXPECT_EQ(outer.height(), frame.height());
    const POINT origin = qt.clientOrigin(wnd);
    EXPECT_EQ(origin.x, widget(wnd)->geometry().left());
    EXPECT_EQ(origin.y, widget(wnd)->geometry().top());
}

TEST_F(QtGeometryTest, AWindowCentredBeforeItShowsIsCentredWhenShown) {
    qt.showWindow(wnd, ShowCommand::Show); // frame margins are known once some window has shown
    QApplication::processEvents();
    RecordingDialog second;
    const HWND other = open(second, makeTemplate(DIALOG + 1, {}));
    second.CenterWindow();
    qt.showWindow(other, ShowCommand::Show);
    QApplication::processEvents();
    const QRect frame = widget(other)->frameGeometry();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_LE(std::abs(frame.center().x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(frame.center().y() - screen.center().y()), 1);
    second.DestroyWindow();
}

TEST_F(QtGeometryTest, MinimumSizeFromGetMinMaxInfoHolds) {
    qt.showWindow(wnd, ShowCommand::Show);
    QApplication::processEvents();
    const Size frame = frameSize();
    dialog.minTrack = POINT{420, 260};
    qt.moveWindow(wnd, 0, 0, 500, 400);
    ASSERT_GE(dialog.count(WM_GETMINMAXINFO), 1);
    EXPECT_EQ(widget(wnd)->minimumSize(), QSize(420 - frame.cx, 260 - frame.cy));
    EXPECT_EQ(widget(wnd)->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    // The user (here Qt) cannot make it smaller.
    widget(wnd)->resize(50, 50);
    EXPECT_EQ(widget(wnd)->size(), QSize(420 - frame.cx, 260 - frame.cy));
    EXPECT_EQ(sizesOf(dialog).back(), (Size{420 - frame.cx, 260 - frame.cy}));
}

TEST_F(QtGeometryTest, GetMinMaxInfoArrivesWithTheSystemsValues) {
    MINMAXINFO seen{};
    dialog.onMessage = [&seen](const Message& m) {
        if (m.message == WM_GETMINMAXINFO) {
            seen = *reinterpret_cast<const MINMAXINFO*>(m.lParam);
        }
    };
    qt.moveWindow(wnd, 0, 0, 300, 300);
    const QSize desktop = QGuiApplication::primaryScreen()->virtualSize();
    EXPECT_GE(seen.ptMaxTrackSize.x, desktop.width());
    EXPECT_GE(seen.ptMaxTrackSize.y, desktop.height());
    EXPECT_GT(seen.ptMaxSize.x, 0);
    EXPECT_GE(seen.ptMinTrackSize.x, frameSize().cx);
    // Left at the system's values, the window has no maximum.
    EXPECT_EQ(widget(wnd)->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
}

TEST_F(QtGeometryTest, MaximumSizeFromGetMinMaxInfoHolds) {
    const Size frame = frameSize();
    dialog.maxTrack = POINT{600, 450};
    qt.moveWindow(wnd, 0, 0, 500, 400);
    EXPECT_EQ(widget(wnd)->maximumSize(), QSize(600 - frame.cx, 450 - frame.cy));
}

TEST_F(QtGeometryTest, AProgrammaticMoveIsNotHeldToTheMinimum) {
    dialog.minTrack = POINT{420, 260};
    qt.moveWindow(wnd, 0, 0, 500, 400);
    const Size frame = frameSize();
    QSize sizeInside;
    dialog.onMessage = [&](const Message& m) {
        if (m.message == WM_SIZE && sizeInside.isEmpty()) {
            sizeInside = widget(wnd)->size();
        }
    };
    qt.moveWindow(wnd, 0, 0, 200 + frame.cx, 100 + frame.cy);
    // The move happens and is reported; only then do the limits apply again, as the
    // framework's own layout would have enlarged the window from inside WM_SIZE.
    const std::vector<Size> sizes = sizesOf(dialog);
    ASSERT_GE(sizes.size(), 3u);
    EXPECT_EQ(sizes[1], (Size{200, 100}));
    EXPECT_EQ(sizeInside, QSize(200, 100));
    EXPECT_EQ(sizes.back(), (Size{420 - frame.cx, 260 - frame.cy}));
    EXPECT_EQ(widget(wnd)->size(), QSize(420 - frame.cx, 260 - frame.cy));
}

TEST_F(QtGeometryTest, MinimisingReportsSizeMinimizedAndRestoringTheSize) {
    qt.showWindow(wnd, ShowCommand::Show);
    QApplication::processEvents();
    const QSize client = widget(wnd)->size();
    dialog.messages.clear();
    qt.showWindow(wnd, ShowCommand::Minimize);
    EXPECT_TRUE(qt.isIconic(wnd));
    const std::vector<Message> minimized = dialog.of(WM_SIZE);
    ASSERT_EQ(minimized.size(), 1u);
    EXPECT_EQ(minimized[0].wParam, SIZE_MINIMIZED);
    EXPECT_EQ(minimized[0].lParam, 0);
    qt.showWindow(wnd, ShowCommand::Restore);
    EXPECT_FALSE(qt.isIconic(wnd));
    EXPECT_EQ(sizesOf(dialog), (std::vector<Size>{{client.width(), client.height()}}));
}

TEST_F(QtGeometryTest, AWindowWithoutSizingFrameKeepsItsSize) {
    RecordingDialog fixed;
    const HWND wndFixed = open(fixed, makeTemplate(DIALOG + 2, {}, {.resizable = false}));
    const QSize size = widget(wndFixed)->size();
    EXPECT_EQ(widget(wndFixed)->minimumSize(), size);
    EXPECT_EQ(widget(wndFixed)->maximumSize(), size);
    const RECT outer = qt.windowRect(wndFixed);
    qt.moveWindow(wndFixed, 0, 0, outer.width() + 30, outer.height());
    EXPECT_EQ(widget(wndFixed)->size(), size + QSize(30, 0));
    EXPECT_EQ(widget(wndFixed)->maximumSize(), size + QSize(30, 0));
    EXPECT_EQ(fixed.count(WM_GETMINMAXINFO), 0);
    fixed.DestroyWindow();
}

TEST_F(QtGeometryTest, StaticBitmapTakesTheBitmapsSizeKeepingItsCorner) {
    const Image picture = solidImage(30, 12, 0xFF336699);
    const HWND bitmap =
        qt.createControl(wnd, ControlKind::StaticBitmap, "", WS_CHILD | WS_VISIBLE | SS_BITMAP,
                         RECT{5, 6, 100, 100}, -1);
    qt.setStaticBitmap(bitmap, &picture);
    EXPECT_EQ(widget(wnd)->findChildren<QWidget*>().contains(qt.widget(bitmap)), true);
    EXPECT_EQ(qt.widget(bitmap)->geometry(), QRect(5, 6, 30, 12));
    EXPECT_FALSE(qt.widget(bitmap)->grab().isNull());
}

TEST_F(QtGeometryTest, SizeGripResizesTheWindowFromItsCorner) {
    dialog.minTrack = POINT{200, 150};
    qt.showWindow(wnd, ShowCommand::Show);
    QApplication::processEvents();
    const Image gripImage = solidImage(12, 12, 0xFF808080);
    const QSize client = widget(wnd)->size();
    const HWND grip = qt.createControl(
        wnd, ControlKind::StaticBitmap, "", WS_CHILD | SS_BITMAP,
        RECT{client.width() - 24, client.height() - 24, client.width(), client.height()}, GRIP_ID);
    qt.setStaticBitmap(grip, &gripImage);
    qt.showWindow(grip, ShowCommand::Show);
    auto* gripWidget = dynamic_cast<QtSizeGrip*>(qt.widget(grip));
    ASSERT_NE(gripWidget, nullptr);
    EXPECT_EQ(gripWidget->cursor().shape(), Qt::SizeFDiagCursor);
    EXPECT_EQ(gripWidget->size(), QSize(12, 12));

    dialog.messages.clear();
    const QPoint start(6, 6);
    sendMouse(gripWidget, QEvent::MouseButtonPress, start, Qt::LeftButton);
    EXPECT_GE(dialog.count(WM_GETMINMAXINFO), 1); // the limits are fresh when a drag starts
    sendMouse(gripWidget, QEvent::MouseMove, start + QPoint(40, 30), Qt::LeftButton);
    EXPECT_EQ(widget(wnd)->size(), client + QSize(40, 30));
    EXPECT_EQ(sizesOf(dialog).back(), (Size{client.width() + 40, client.height() + 30}));
    // Dragged far up and left, the window stops at its minimum.
    sendMouse(gripWidget, QEvent::MouseMove, start - QPoint(2000, 2000), Qt::LeftButton);
    EXPECT_EQ(widget(wnd)->size(), widget(wnd)->minimumSize());
    sendMouse(gripWidget, QEvent::MouseButtonRelease, start, Qt::NoButton);
    const QSize released = widget(wnd)->size();
    sendMouse(gripWidget, QEvent::MouseMove, start + QPoint(90, 90), Qt::NoButton);
    EXPECT_EQ(widget(wnd)->size(), released);
}

TEST_F(QtGeometryTest, ControlMovesUseParentClientCoordinates) {
    const HWND label = qt.createControl(wnd, ControlKind::StaticText, "x", WS_CHILD | WS_VISIBLE,
                                        RECT{0, 0, 10, 10}, 9);
    qt.moveWindow(label, 15, 25, 60, 20);
    EXPECT_EQ(qt.widget(label)->geometry(), QRect(15, 25, 60, 20));
    const POINT origin = qt.clientOrigin(wnd);
    const RECT onScreen = qt.windowRect(label);
    EXPECT_EQ(onScreen.left, origin.x + 15);
    EXPECT_EQ(onScreen.bottom, origin.y + 45);
}
