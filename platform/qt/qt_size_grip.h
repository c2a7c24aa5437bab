#pragma once

#include <QLabel>
#include <QPoint>
#include <QSize>
#include <functional>

/// The size grip of a resizable dialog: a picture in the bottom-right corner whose press starts
/// resizing the window from that corner. The window manager does the resizing where it can;
/// otherwise the grip follows the mouse itself, within the window's minimum and maximum size.
class QtSizeGrip : public QLabel {
public:
    explicit QtSizeGrip(QWidget* parent);

    /// Called when a resize starts, so that the window's size limits are current.
    std::function<void()> beforeResize;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_tracking = false;
    QPoint m_pressAt;  ///< global position of the press
    QSize m_startSize; ///< the window's client size at the press
};
