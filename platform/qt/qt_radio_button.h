#pragma once

#include <QRadioButton>
#include <functional>

/// An automatic radio button whose group the backend keeps (Qt's own exclusivity is off, so
/// that a group may have no button checked). A click anywhere on the control checks it, never
/// unchecks it; the arrow keys move through its group and check the button they reach.
/// Assistive technology sees a radio button (QtAccessibleRadioButton) whose actions choose it
/// as a click does.
class QtRadioButton : public QRadioButton {
public:
    explicit QtRadioButton(QWidget* parent);

    /// Called when the user checks this button, before Qt's clicked signal.
    std::function<void()> onChecked;
    /// Called for an arrow key: +1 for the next button of the group, -1 for the previous one.
    std::function<void(int step)> onArrow;
    /// Asked before input that does not pass through the window's events (an assistive
    /// technology's action) chooses this button; false while the window takes no input.
    std::function<bool()> acceptsInput;

    /// True unless acceptsInput says otherwise.
    bool takesInput() const { return !acceptsInput || acceptsInput(); }

protected:
    bool hitButton(const QPoint& pos) const override;
    void nextCheckState() override;
    void keyPressEvent(QKeyEvent* event) override;
};
