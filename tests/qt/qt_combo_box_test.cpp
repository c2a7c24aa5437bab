// The drop-down list on Qt: the user's choice by keyboard or mouse tells the dialog, the
// program's own selection does not, and long work keeps the user's hands off it.

#include <QAbstractItemView>
#include <QComboBox>
#include <QTest>

#include "platform/combo_box.h"
#include "qt_test_support.h"

namespace {

constexpr int ALGORITHM = 751;

/// How the user picks entry 2 of a drop-down list showing entry 1.
enum class Hand { Keyboard, Mouse };

void pickThird(QComboBox* box, Hand hand) {
    if (hand == Hand::Keyboard) {
        box->setFocus(Qt::TabFocusReason);
        QTest::keyClick(box, Qt::Key_Down);
        return;
    }
    box->showPopup();
    QAbstractItemView* view = box->view();
    const QPoint at = view->visualRect(view->model()->index(2, 0)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

class QtComboBoxTest : public QtRecordingDialogTest, public testing::WithParamInterface<Hand> {
protected:
    void SetUp() override {
        QtRecordingDialogTest::SetUp();
        wnd = open(dialog, makeTemplate(750, {{ALGORITHM, ControlKind::ComboBox, "", 7, 7, 100, 14,
                                               CBS_DROPDOWNLIST | WS_TABSTOP, 0}}));
        combo.Attach(qt.dialogItem(wnd, ALGORITHM));
        for (const char* name : {"MD5", "SHA-1", "SHA-256"}) {
            combo.AddString(name);
        }
        showActive(wnd);
    }
    void TearDown() override {
        combo.Detach();
        QtRecordingDialogTest::TearDown();
    }

    QComboBox* box() const { return static_cast<QComboBox*>(item(wnd, ALGORITHM)); }

    CComboBox combo;
};

} // namespace

TEST_P(QtComboBoxTest, TheUsersChoiceTellsTheDialogTheProgramsOwnSelectionDoesNot) {
    EXPECT_EQ(combo.GetCount(), 3);
    EXPECT_EQ(combo.GetCurSel(), CB_ERR) << "entries added, none selected";
    EXPECT_EQ(combo.SetCurSel(1), 1);
    EXPECT_EQ(box()->currentText(), "SHA-1");
    EXPECT_TRUE(dialog.of(WM_COMMAND).empty());

    pickThird(box(), GetParam());
    EXPECT_EQ(combo.GetCurSel(), 2);
    ASSERT_EQ(dialog.of(WM_COMMAND).size(), 1u);
    const Message told = dialog.of(WM_COMMAND)[0];
    EXPECT_EQ(told.wParam, MAKEWPARAM(ALGORITHM, CBN_SELCHANGE));
    EXPECT_EQ(told.lParam, reinterpret_cast<LPARAM>(combo.m_hWnd));
}

TEST_P(QtComboBoxTest, DuringLongWorkTheUserCannotChoose) {
    combo.SetCurSel(1);
    qt.beginWork(wnd, 0);
    pickThird(box(), GetParam());
    qt.serveEvents(wnd);
    qt.endWork(wnd);
    box()->hidePopup();
    EXPECT_EQ(combo.GetCurSel(), 1);
    EXPECT_TRUE(dialog.of(WM_COMMAND).empty());
}

INSTANTIATE_TEST_SUITE_P(Hands, QtComboBoxTest, testing::Values(Hand::Keyboard, Hand::Mouse),
                         [](const testing::TestParamInfo<Hand>& info) {
                             return info.param == Hand::Keyboard ? "Keyboard" : "Mouse";
                         });
