#include "platform/qt/qt_accessible_radio_button.h"

#include <QKeySequence>

#include "platform/qt/qt_radio_button.h"

namespace {

QAccessibleInterface* radioButtonFactory(const QString& className, QObject* object) {
    // QtRadioButton has no meta-object of its own, so it comes by as a QRadioButton.
    if (className != QLatin1String("QRadioButton")) {
        return nullptr;
    }
    auto* button = dynamic_cast<QtRadioButton*>(object);
    return button != nullptr ? new QtAccessibleRadioButton(button) : nullptr;
}

} // namespace

QtAccessibleRadioButton::QtAccessibleRadioButton(QtRadioButton* button)
    : QAccessibleWidget(button, QAccessible::RadioButton) {}

void QtAccessibleRadioButton::installFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(radioButtonFactory);
        return true;
    }();
    (void)installed;
}

QtRadioButton* QtAccessibleRadioButton::button() const {
    return static_cast<QtRadioButton*>(widget());
}

QAccessible::State QtAccessibleRadioButton::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.checkable = true;
    state.checked = button()->isChecked();
    state.pressed = button()->isDown();
    return state;
}

QString QtAccessibleRadioButton::text(QAccessible::Text which) const {
    if (which == QAccessible::Accelerator) {
        return QKeySequence::mnemonic(button()->text()).toString(QKeySequence::NativeText);
    }
    return QAccessibleWidget::text(which);
}

QStringList QtAccessibleRadioButton::actionNames() const {
    QStringList names;
    if (widget()->isEnabled()) {
        names << toggleAction() << pressAction();
    }
    return names + QAccessibleWidget::actionNames();
}

void QtAccessibleRadioButton::doAction(const QString& actionName) {
    if (actionName != toggleAction() && actionName != pressAction()) {
        QAccessibleWidget::doAction(actionName);
        return;
    }
    // Choosing is never unchoosing: a chosen button stays chosen, as it does under a click.
    if (widget()->isEnabled() && button()->takesInput()) {
        button()->click();
    }
}
