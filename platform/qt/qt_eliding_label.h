#pragma once

#include <QLabel>

/// A one-line static text that ends in an ellipsis when it is wider than the control, so that a
/// long file name never pushes the rest of its row out of sight. Screen readers get the whole
/// text.
class QtElidingLabel : public QLabel {
public:
    explicit QtElidingLabel(QWidget* parent) : QLabel(parent) {}

protected:
    void paintEvent(QPaintEvent* event) override;
};
