// The controls of the status strip on Qt widgets: the progress bar, as screen readers see it too,
// and a one-line text that shows '&' as it is.

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QLabel>
#include <QProgressBar>

#include "qt_test_support.h"

namespace {

constexpr int DIALOG = 710;
constexpr int BAR = 901;
constexpr int TEXT = 902;

class QtStripControlsTest : public QtRecordingDialogTest {
protected:
    void SetUp() override {
        QtRecordingDialogTest::SetUp();
        wnd = open(
            dialog,
            makeTemplate(DIALOG, {{BAR, ControlKind::ProgressBar, "", 7, 7, 50, 10, WS_BORDER, 0},
                                  {TEXT, ControlKind::StaticText, "", 7, 20, 30, 8,
                                   SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_ENDELLIPSIS, 0}}));
    }
};

} // namespace

TEST_F(QtStripControlsTest, TheBarShowsItsPositionAlsoToScreenReaders) {
    auto* bar = static_cast<QProgressBar*>(item(wnd, BAR));
    ASSERT_NE(bar, nullptr);
    qt.setProgress(qt.dialogItem(wnd, BAR), 420, 1000);
    EXPECT_EQ(bar->maximum(), 1000);
    EXPECT_EQ(bar->value(), 420);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(bar);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::ProgressBar);
    ASSERT_NE(accessible->valueInterface(), nullptr);
    EXPECT_EQ(accessible->valueInterface()->currentValue().toInt(), 420);

    qt.setProgress(qt.dialogItem(wnd, BAR), 5, 0); // work of unknown length
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 0);
}

TEST_F(QtStripControlsTest, AOneLineTextKeepsItsAmpersandsAndItsWholeTextForScreenReaders) {
    const std::string name = "Tom & Jerry, the complete collection.iso";
    qt.setWindowText(qt.dialogItem(wnd, TEXT), name);
    auto* label = static_cast<QLabel*>(item(wnd, TEXT));
    EXPECT_EQ(label->text().toStdString(), name);
    EXPECT_FALSE(label->wordWrap());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name).toStdString(),
              name);
}
