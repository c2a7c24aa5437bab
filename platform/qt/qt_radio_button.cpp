#include "platform/qt/qt_radio_button.h"

#include <QKeyEvent>

#include "platform/qt/qt_accessible_radio_button.h"

QtRadioButton::QtRadioButton(QWidget* parent) : QRadioButton(parent) {
    setAutoExclusive(false);
    QtAccessibleRadioButton::installFactory();
}

bool QtRadioButton::hitButton(const QPoint& pos) const {
    // The whole control takes the click, not just the mark and the label: a narrow label is
    // an easy target to miss.
    return rect().contains(pos);
}

void QtRadioButton::nextCheckState() {
    setChecked(true);
    if (onChecked) {
        onChecked();
    }
}

void QtRadioButton::keyPressEvent(QKeyEvent* event) {
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && onArrow) {
        switch (event->key()) {
        case Qt::Key_Up:
        case Qt::Key_Left:
            onArrow(-1);
            return;
        case Qt::Key_Down:
        case Qt::Key_Right:
            onArrow(+1);
            return;
        default:
            break;
        }
    }
    QRadioButton::keyPressEvent(event);
}
