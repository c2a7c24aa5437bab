#include "platform/qt/qt_size_grip.h"

#include <QMouseEvent>
#include <QWindow>

QtSizeGrip::QtSizeGrip(QWidget* parent) : QLabel(parent) {
    setCursor(Qt::SizeFDiagCursor);
}

void QtSizeGrip::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QLabel::mousePressEvent(event);
        return;
    }
    event->accept();
    if (beforeResize) {
        beforeResize();
    }
    QWidget* top = window();
    QWindow* handle = top->windowHandle();
    if (handle != nullptr && handle->startSystemResize(Qt::BottomEdge | Qt::RightEdge)) {
        return;
    }
    m_tracking = true;
    m_pressAt = event->globalPosition().toPoint();
    m_startSize = top->size();
}

void QtSizeGrip::mouseMoveEvent(QMouseEvent* event) {
    if (!m_tracking) {
        QLabel::mouseMoveEvent(event);
        return;
    }
    event->accept();
    QWidget* top = window();
    const QPoint moved = event->globalPosition().toPoint() - m_pressAt;
    const QSize wanted = (m_startSize + QSize(moved.x(), moved.y()))
                             .expandedTo(top->minimumSize())
                             .boundedTo(top->maximumSize());
    top->resize(wanted);
}

void QtSizeGrip::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_tracking || event->button() != Qt::LeftButton) {
        QLabel::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    m_tracking = false;
}
