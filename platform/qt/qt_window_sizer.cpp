#include "platform/qt/qt_window_sizer.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "platform/qt/qt_window.h"

namespace {

// The frame margins last seen on a shown window; see QtWindowSizer.
QMargins knownFrame;

RECT toRect(const QRect& r) {
    return RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

} // namespace

QMargins QtWindowSizer::frame(const QtWindow& window) {
    const QWidget* widget = window.widget;
    if (widget == nullptr || !widget->isWindow()) {
        return QMargins();
    }
    if (!window.everShown) {
        return knownFrame;
    }
    const QRect outer = widget->frameGeometry();
    const QRect inner = widget->geometry();
    const QMargins margins(inner.left() - outer.left(), inner.top() - outer.top(),
                           outer.right() - inner.right(), outer.bottom() - inner.bottom());
    if (!margins.isNull()) {
        knownFrame = margins;
    }
    return margins;
}

RECT QtWindowSizer::windowRect(const QtWindow& window) {
    const QWidget* widget = window.widget;
    if (widget == nullptr) {
        return RECT{};
    }
    if (widget->isWindow()) {
        return toRect(widget->geometry().marginsAdded(frame(window)));
    }
    const POINT origin = clientOrigin(window);
    return RECT{origin.x, origin.y, origin.x + widget->width(), origin.y + widget->height()};
}

POINT QtWindowSizer::clientOrigin(const QtWindow& window) {
    const QWidget* widget = window.widget;
    if (widget == nullptr) {
        return POINT{};
    }
    // Summed by hand rather than mapToGlobal, which needs a window that has been created.
    QPoint at;
    for (; !widget->isWindow(); widget = widget->parentWidget()) {
        at += widget->pos();
    }
    at += widget->geometry().topLeft();
    return POINT{at.x(), at.y()};
}

void QtWindowSizer::move(QtWindow& window, int x, int y, int cx, int cy) {
    QWidget* widget = window.widget;
    if (widget == nullptr) {
        return;
    }
    if (!widget->isWindow()) {
        widget->setGeometry(x, y, std::max(0, cx), std::max(0, cy));
        reportSize(window);
        return;
    }
    const QMargins margins = frame(window);
    // Qt hides a window of no width or height; the smallest client area here is one pixel.
    const QRect client(x + margins.left(), y + margins.top(),
                       std::max(1, cx - margins.left() - margins.right()),
                       std::max(1, cy - margins.top() - margins.bottom()));
    liftLimits(window, client.size());
    window.moving = true;
    widget->setGeometry(client);
    window.moving = false;
    reportSize(window);
}

void QtWindowSizer::resize(QtWindow& control, QSize size) {
    if (control.widget == nullptr) {
        return;
    }
    control.widget->resize(size);
    reportSize(control);
}

void QtWindowSizer::reportSize(QtWindow& window) {
    QWidget* widget = window.widget;
    if (widget == nullptr || window.moving) {
        return;
    }
    const bool topLevel = widget->isWindow();
    if (topLevel && widget->isMinimized()) {
        return; // restoring reports the size
    }
    const QSize size = widget->size();
    if (size != window.sentSize) {
        window.sentSize = size;
        const UINT type = topLevel && widget->isMaximized() ? SIZE_MAXIMIZED : SIZE_RESTORED;
        ++window.sizeMessages;
        window.send(WM_SIZE, type, MAKELPARAM(UINT(size.width()), UINT(size.height())));
        --window.sizeMessages;
    }
    if (window.isDialog && window.sizeMessages == 0 && !window.limiting) {
        applyTrackLimits(window);
    }
}

void QtWindowSizer::stateChanged(QtWindow& window, Qt::WindowStates before) {
    QWidget* widget = window.widget;
    if (widget == nullptr) {
        return;
    }
    const bool minimized = widget->isMinimized();
    const bool wasMinimized = before.testFlag(Qt::WindowMinimized);
    if (minimized && !wasMinimized) {
        window.sentSize = QSize(0, 0);
        window.send(WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(0, 0));
    } else if (!minimized && wasMinimized) {
        reportSize(window);
    }
}

void QtWindowSizer::applyTrackLimits(QtWindow& window) {
    QWidget* widget = window.widget;
    if (widget == nullptr || !window.isDialog || widget->isMinimized()) {
        return;
    }
    window.limiting = true;
    if ((window.style & WS_THICKFRAME) == 0) {
        // Without a sizing frame the user cannot resize the window at all.
        widget->setFixedSize(widget->size());
        window.limiting = false;
        return;
    }
    const QMargins margins = frame(window);
    const int frameWidth = margins.left() + margins.right();
    const int frameHeight = margins.top() + margins.bottom();
    const QScreen* screen = widget->screen();
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    const QRect work = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QSize desktop = screen != nullptr ? screen->virtualSize() : work.size();

    MINMAXINFO info;
    info.ptMaxSize = POINT{work.width(), work.height()};
    info.ptMaxPosition = POINT{work.left(), work.top()};
    info.ptMinTrackSize = POINT{frameWidth + 1, frameHeight + 1};
    info.ptMaxTrackSize = POINT{desktop.width() + frameWidth, desktop.height() + frameHeight};
    const MINMAXINFO system = info;
    window.send(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));

    widget = window.widget;
    if (widget != nullptr) {
        const QSize minimum(
            std::clamp(int(info.ptMinTrackSize.x) - frameWidth, 0, QWIDGETSIZE_MAX),
            std::clamp(int(info.ptMinTrackSize.y) - frameHeight, 0, QWIDGETSIZE_MAX));
        QSize maximum(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        if (info.ptMaxTrackSize.x != system.ptMaxTrackSize.x) {
            maximum.setWidth(std::clamp(int(info.ptMaxTrackSize.x) - frameWidth, minimum.width(),
                                        QWIDGETSIZE_MAX));
        }
        if (info.ptMaxTrackSize.y != system.ptMaxTrackSize.y) {
            maximum.setHeight(std::clamp(int(info.ptMaxTrackSize.y) - frameHeight, minimum.height(),
                                         QWIDGETSIZE_MAX));
        }
        widget->setMinimumSize(minimum);
        widget->setMaximumSize(maximum);
    }
    window.limiting = false;
    // Qt fits a window to new limits at once, but tells only a visible one about it.
    if (window.widget != nullptr && window.widget->size() != window.sentSize) {
        reportSize(window);
    }
}

void QtWindowSizer::liftLimits(QtWindow& window, QSize client) {
    QWidget* widget = window.widget;
    const QSize minimum = widget->minimumSize();
    const QSize maximum = widget->maximumSize();
    if (client.width() >= minimum.width() && client.height() >= minimum.height() &&
        client.width() <= maximum.width() && client.height() <= maximum.height()) {
        return;
    }
    widget->setMinimumSize(0, 0);
    widget->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}
