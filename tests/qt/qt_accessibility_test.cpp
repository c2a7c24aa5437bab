// What assistive technology sees of a dialog through Qt's accessibility interfaces (the ones the
// AT-SPI bridge serves), and what the radio buttons' actions do.

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleActionInterface>

#include "qt_test_support.h"

namespace {

constexpr int FIRST = 811;
constexpr int SECOND = 812;
constexpr int LIST = 813;
constexpr int COMBO = 814;

/// Two radio buttons and a list, as assistive technology sees them.
class QtAccessibilityTest : public QtRecordingDialogTest {
protected:
    void SetUp() override {
        QtRecordingDialogTest::SetUp();
        wnd = open(
            dialog,
            makeTemplate(
                710, {{FIRST, ControlKind::RadioButton, "Check Files", 7, 7, 60, 10,
                       BS_AUTORADIOBUTTON | WS_GROUP, 0},
                      {SECOND, ControlKind::RadioButton, "Generate", 7, 20, 60, 10,
                       BS_AUTORADIOBUTTON, 0},
                      {LIST, ControlKind::ListView, "", 7, 40, 100, 50, LVS_REPORT | WS_GROUP, 0},
                      {COMBO, ControlKind::ComboBox, "", 7, 92, 60, 12, CBS_DROPDOWNLIST, 0}}));
    }

    QAccessibleInterface* accessible(int id) const {
        return QAccessible::queryAccessibleInterface(item(wnd, id));
    }
    QString name(int id) const { return accessible(id)->text(QAccessible::Name); }
};

/// The radio buttons' accessibility actions, one action name per instance.
class QtRadioAccessibilityTest : public QtAccessibilityTest,
                                 public ::testing::WithParamInterface<std::string> {
protected:
    /// Which of the two buttons are checked, as Qt and as assistive technology see them.
    std::pair<bool, bool> chosen() const {
        const bool first = static_cast<QAbstractButton*>(item(wnd, FIRST))->isChecked();
        const bool second = static_cast<QAbstractButton*>(item(wnd, SECOND))->isChecked();
        EXPECT_EQ(bool(accessible(FIRST)->state().checked), first);
        EXPECT_EQ(bool(accessible(SECOND)->state().checked), second);
        return {first, second};
    }
    void act(int id) const {
        QAccessibleActionInterface* actions = accessible(id)->actionInterface();
        ASSERT_NE(actions, nullptr);
        const QString action = QString::fromStdString(GetParam());
        ASSERT_TRUE(actions->actionNames().contains(action));
        actions->doAction(action);
    }
};

} // namespace

TEST_P(QtRadioAccessibilityTest, RadioButtonsWhoseActionChoosesOneAlone) {
    for (int id : {FIRST, SECOND}) {
        EXPECT_EQ(accessible(id)->role(), QAccessible::RadioButton) << id;
        EXPECT_TRUE(accessible(id)->state().checkable) << id;
    }

    // From a group with nothing chosen, as the framework may leave it, then from the other one;
    // acting on the chosen button keeps it chosen. Each action tells the dialog.
    act(SECOND);
    EXPECT_EQ(chosen(), std::make_pair(false, true));
    act(FIRST);
    EXPECT_EQ(chosen(), std::make_pair(true, false));
    act(FIRST);
    EXPECT_EQ(chosen(), std::make_pair(true, false));
    EXPECT_EQ(dialog.count(WM_COMMAND), 3);

    // While the window takes no input (long work, an owned dialog), the actions do nothing.
    qt.beginWork(wnd, 0);
    act(SECOND);
    qt.endWork(wnd);
    qt.enableWindow(wnd, false);
    act(SECOND);
    EXPECT_EQ(chosen(), std::make_pair(true, false));
    EXPECT_EQ(dialog.count(WM_COMMAND), 3);
}

INSTANTIATE_TEST_SUITE_P(Actions, QtRadioAccessibilityTest,
                         ::testing::Values(QAccessibleActionInterface::toggleAction().toStdString(),
                                           QAccessibleActionInterface::pressAction().toStdString()),
                         [](const auto& info) { return info.param; });

TEST_F(QtAccessibilityTest, ANameSetForAControlIsWhatScreenReadersReadEvenAfterItsTextChanges) {
    EXPECT_EQ(name(FIRST), "Check Files") << "a button's own label names it";
    dialog.GetDlgItem(LIST)->SetAccessibleName("Results");
    dialog.GetDlgItem(FIRST)->SetAccessibleName("Verify lists");
    dialog.GetDlgItem(FIRST)->SetWindowText("&Check");
    EXPECT_EQ(name(LIST), "Results");
    EXPECT_EQ(name(FIRST), "Verify lists");
    EXPECT_EQ(name(SECOND), "Generate");

    // A drop-down list reads its entry as its name; its own name comes from the label it is
    // "labelled by", as AT-SPI clients look it up.
    dialog.GetDlgItem(COMBO)->SetAccessibleName("Algorithm");
    const auto labels = accessible(COMBO)->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels.front().first->text(QAccessible::Name), "Algorithm");
}
