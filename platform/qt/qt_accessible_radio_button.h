#pragma once

#include <QAccessibleWidget>

class QtRadioButton;

/// What assistive technology sees of a QtRadioButton: a radio button (Qt's own interface would
/// call it a check box, since the backend keeps the group rather than Qt), checkable, checked when
/// chosen. Its "toggle" and "press" actions choose the button the way a click does, so that it
/// alone of its group is checked and the dialog hears of it.
class QtAccessibleRadioButton : public QAccessibleWidget {
public:
    explicit QtAccessibleRadioButton(QtRadioButton* button);

    /// Makes Qt's accessibility use this interface for every QtRadioButton; once is enough.
    static void installFactory();

    QAccessible::State state() const override;
    QString text(QAccessible::Text which) const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

private:
    QtRadioButton* button() const;
};
