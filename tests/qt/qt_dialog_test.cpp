// Dialogs on Qt widgets: what the template makes, and how keys, clicks and the close box reach
// the framework.

#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeView>

#include "platform/qt/qt_dialog_units.h"
#include "platform/qt/qt_size_grip.h"
#include "qt_test_support.h"

namespace {

constexpr int DIALOG = 700;
constexpr int RADIO_A = 801;
constexpr int RADIO_B = 802;
constexpr int GO = 803;
constexpr int RADIO_C = 804;
constexpr int LIST = 805;
constexpr int LABEL = 806;
constexpr int COMBO = 807;

DialogTemplate dialogTemplate() {
    return makeTemplate(
        DIALOG,
        {
            {IDOK, ControlKind::PushButton, "OK", 140, 7, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
            {RADIO_A, ControlKind::RadioButton, "Check Files", 7, 7, 53, 10,
             BS_AUTORADIOBUTTON | WS_GROUP, 0},
            {RADIO_B, ControlKind::RadioButton, "Generate", 7, 20, 53, 10, BS_AUTORADIOBUTTON, 0},
            {GO, ControlKind::PushButton, "&Save As ...", 7, 40, 50, 14, WS_TABSTOP, 0},
            {RADIO_C, ControlKind::RadioButton, "C", 7, 60, 40, 10, BS_AUTORADIOBUTTON, 0},
            {LIST, ControlKind::ListView, "", 60, 40, 100, 50,
             LVS_REPORT | WS_BORDER | WS_TABSTOP | WS_GROUP, 0},
            {LABEL, ControlKind::StaticText, "Tom && &Jerry <b>", 7, 80, 80, 8, WS_GROUP, 0},
        });
}

bool checked(QWidget* radio) {
    return static_cast<QRadioButton*>(radio)->isChecked();
}

WPARAM clicked(int id) {
    return MAKEWPARAM(UINT(id), BN_CLICKED);
}

/// Counts the pastes its message table hands to OnPaste.
class PastingDialog : public RecordingDialog {
public:
    int pastes = 0;

protected:
    void OnPaste() { ++pastes; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(PastingDialog, RecordingDialog)
ON_WM_PASTE()
END_MESSAGE_MAP()

} // namespace

class QtDialogTest : public QtRecordingDialogTest {
protected:
    void SetUp() override {
        QtRecordingDialogTest::SetUp();
        wnd = open(dialog, dialogTemplate());
    }
    std::vector<Message> commands() const { return dialog.of(WM_COMMAND); }
};

// What the template makes.

TEST_F(QtDialogTest, TemplateGivesTitleControlsAndTexts) {
    EXPECT_EQ(widget(wnd)->windowTitle(), "Test Window");
    EXPECT_FALSE(widget(wnd)->isVisible());
    auto* ok = qobject_cast<QPushButton*>(item(wnd, IDOK));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), "OK");
    EXPECT_TRUE(ok->isDefault());
    auto* save = qobject_cast<QPushButton*>(item(wnd, GO));
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->text(), "&Save As ...");
    EXPECT_EQ(save->accessibleName(), "Save As ...");
    EXPECT_FALSE(save->isDefault());
    auto* check = qobject_cast<QRadioButton*>(item(wnd, RADIO_A));
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(check->text(), "Check Files");
    EXPECT_FALSE(check->isChecked());
    EXPECT_NE(qobject_cast<QTreeView*>(item(wnd, LIST)), nullptr);
    auto* label = qobject_cast<QLabel*>(item(wnd, LABEL));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "Tom & Jerry <b>");
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_EQ(qt.windowText(qt.dialogItem(wnd, LABEL)), "Tom && &Jerry <b>");
}

TEST_F(QtDialogTest, ControlsStandWhereTheirDialogUnitsSay) {
    const QtDialogUnits units(widget(wnd)->font());
    EXPECT_EQ(qt.baseUnitX(), units.baseX());
    EXPECT_EQ(widget(wnd)->size(), QSize(units.toPixelsX(200), units.toPixelsY(100)));
    EXPECT_EQ(item(wnd, IDOK)->geometry(), units.toPixels(140, 7, 50, 14));
    EXPECT_EQ(item(wnd, LIST)->geometry(), units.toPixels(60, 40, 100, 50));
    const RECT client = qt.clientRect(wnd);
    EXPECT_EQ(client.right, units.toPixelsX(200));
    // A control's window rectangle is on the screen, at the client origin plus its position.
    const POINT origin = qt.clientOrigin(wnd);
    const RECT ok = qt.windowRect(qt.dialogItem(wnd, IDOK));
    EXPECT_EQ(ok.left, origin.x + units.toPixelsX(140));
    EXPECT_EQ(ok.top, origin.y + units.toPixelsY(7));
}

TEST_F(QtDialogTest, ControlsAreListedInTemplateOrder) {
    std::vector<HWND> walked;
    for (HWND control = qt.dialogItem(wnd, IDOK); control != nullptr;
         control = qt.nextControl(control)) {
        walked.push_back(control);
        EXPECT_EQ(qt.parentOf(control), wnd);
    }
    std::vector<HWND> expected;
    for (int id : {IDOK, RADIO_A, RADIO_B, GO, RADIO_C, LIST, LABEL}) {
        expected.push_back(qt.dialogItem(wnd, id));
    }
    EXPECT_EQ(walked, expected);
    EXPECT_EQ(qt.controlKind(qt.dialogItem(wnd, LIST)), ControlKind::ListView);
    EXPECT_EQ(qt.controlStyle(qt.dialogItem(wnd, RADIO_B)) & 0xF, BS_AUTORADIOBUTTON);
    EXPECT_EQ(qt.parentOf(wnd), nullptr);
    EXPECT_EQ(qt.dialogItem(wnd, 4242), nullptr);
}

TEST(QtDialogUnitsTest, MulDivRoundsHalvesAwayFromZero) {
    EXPECT_EQ(QtDialogUnits::mulDiv(50, 6, 4), 75);
    EXPECT_EQ(QtDialogUnits::mulDiv(7, 13, 8), 11);  // 11.375
    EXPECT_EQ(QtDialogUnits::mulDiv(5, 7, 2), 18);   // 17.5
    EXPECT_EQ(QtDialogUnits::mulDiv(-5, 7, 2), -18); // -17.5
    EXPECT_EQ(QtDialogUnits(7, 14).toPixels(320, 201, 50, 14), QRect(560, 352, 88, 25));
}

TEST(QtDialogUnitsTest, BaseUnitsComeFromTheLettersAndTheHeight) {
    QFont font = QApplication::font();
    font.setPixelSize(40);
    const QtDialogUnits big(font);
    font.setPixelSize(10);
    const QtDialogUnits small(font);
    EXPECT_GT(big.baseX(), 2 * small.baseX());
    EXPECT_GE(big.baseY(), 40);
    EXPECT_LT(small.baseY(), 20);
}

// Buttons and radio buttons.

TEST_F(QtDialogTest, ButtonClickSendsItsCommandWithItsHandle) {
    showActive(wnd);
    QTest::mouseClick(item(wnd, GO), Qt::LeftButton);
    ASSERT_EQ(commands().size(), 1u);
    EXPECT_EQ(commands()[0].wParam, clicked(GO));
    EXPECT_EQ(commands()[0].lParam, reinterpret_cast<LPARAM>(qt.dialogItem(wnd, GO)));
}

TEST_F(QtDialogTest, ClickingARadioButtonChecksItAloneInItsGroup) {
    showActive(wnd);
    QTest::mouseClick(item(wnd, RADIO_B), Qt::LeftButton);
    EXPECT_TRUE(checked(item(wnd, RADIO_B)));
    EXPECT_FALSE(checked(item(wnd, RADIO_A)));
    // The group runs past the push button up to the list, which starts the next group.
    QTest::mouseClick(item(wnd, RADIO_C), Qt::LeftButton);
    EXPECT_TRUE(checked(item(wnd, RADIO_C)));
    EXPECT_FALSE(checked(item(wnd, RADIO_B)));
    EXPECT_TRUE(qt.isChecked(qt.dialogItem(wnd, RADIO_C)));
    // Clicking the checked button again keeps it checked, and still notifies.
    QTest::mouseClick(item(wnd, RADIO_C), Qt::LeftButton);
    EXPECT_TRUE(checked(item(wnd, RADIO_C)));
    ASSERT_EQ(commands().size(), 3u);
    EXPECT_EQ(commands()[0].wParam, clicked(RADIO_B));
    EXPECT_EQ(commands()[2].wParam, clicked(RADIO_C));
}

TEST_F(QtDialogTest, SettingACheckStateLeavesTheGroupAloneSoNoneMayBeChecked) {
    qt.setChecked(qt.dialogItem(wnd, RADIO_A), true);
    qt.setChecked(qt.dialogItem(wnd, RADIO_B), true);
    EXPECT_TRUE(checked(item(wnd, RADIO_A)));
    EXPECT_TRUE(checked(item(wnd, RADIO_B)));
    qt.setChecked(qt.dialogItem(wnd, RADIO_A), false);
    qt.setChecked(qt.dialogItem(wnd, RADIO_B), false);
    for (int id : {RADIO_A, RADIO_B, RADIO_C}) {
        EXPECT_FALSE(qt.isChecked(qt.dialogItem(wnd, id))) << id;
    }
    EXPECT_TRUE(commands().empty());
}

TEST_F(QtDialogTest, ArrowKeysMoveThroughTheGroupAndCheck) {
    showActive(wnd);
    item(wnd, RADIO_A)->setFocus();
    QTest::keyClick(item(wnd, RADIO_A), Qt::Key_Down);
    EXPECT_TRUE(checked(item(wnd, RADIO_B)));
    EXPECT_TRUE(item(wnd, RADIO_B)->hasFocus());
    QTest::keyClick(item(wnd, RADIO_B), Qt::Key_Down);
    EXPECT_TRUE(checked(item(wnd, RADIO_C)));
    QTest::keyClick(item(wnd, RADIO_C), Qt::Key_Down); // wraps round
    EXPECT_TRUE(checked(item(wnd, RADIO_A)));
    EXPECT_FALSE(checked(item(wnd, RADIO_C)));
    ASSERT_EQ(commands().size(), 3u);
    EXPECT_EQ(commands()[2].wParam, clicked(RADIO_A));
}

TEST_F(QtDialogTest, TabReachesARadioGroupOnceAtItsCheckedButton) {
    EXPECT_EQ(item(wnd, RADIO_A)->focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(item(wnd, RADIO_B)->focusPolicy(), Qt::ClickFocus);
    qt.setChecked(qt.dialogItem(wnd, RADIO_C), true);
    EXPECT_EQ(item(wnd, RADIO_A)->focusPolicy(), Qt::ClickFocus);
    EXPECT_EQ(item(wnd, RADIO_C)->focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(item(wnd, GO)->focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(item(wnd, LABEL)->focusPolicy(), Qt::NoFocus);
}

// Keys.

TEST_F(QtDialogTest, EscapeSendsCancel) {
    showActive(wnd);
    QTest::keyClick(widget(wnd), Qt::Key_Escape);
    ASSERT_GE(commands().size(), 1u);
    EXPECT_EQ(commands()[0].wParam, clicked(IDCANCEL));
    EXPECT_EQ(commands()[0].lParam, 0);     // the dialog has no Cancel button
    EXPECT_FALSE(widget(wnd)->isVisible()); // OnCancel ended the dialog
}

TEST_F(QtDialogTest, EnterPressesTheDefaultButtonUnlessAPushButtonHasTheFocus) {
    showActive(wnd);
    item(wnd, LIST)->setFocus();
    QTest::keyClick(item(wnd, LIST), Qt::Key_Return);
    ASSERT_EQ(commands().size(), 1u);
    EXPECT_EQ(commands()[0].wParam, clicked(IDOK));
    EXPECT_EQ(commands()[0].lParam, reinterpret_cast<LPARAM>(qt.dialogItem(wnd, IDOK)));

    showActive(wnd);
    item(wnd, GO)->setFocus();
    QTest::keyClick(item(wnd, GO), Qt::Key_Enter, Qt::KeypadModifier);
    ASSERT_EQ(commands().size(), 2u);
    EXPECT_EQ(commands()[1].wParam, clicked(GO));
}

TEST_F(QtDialogTest, EnterOnADisabledDefaultButtonDoesNothing) {
    showActive(wnd);
    qt.enableWindow(qt.dialogItem(wnd, IDOK), false);
    EXPECT_FALSE(qt.isEnabled(qt.dialogItem(wnd, IDOK)));
    item(wnd, LIST)->setFocus();
    QTest::keyClick(item(wnd, LIST), Qt::Key_Return);
    EXPECT_TRUE(commands().empty());
}

TEST_F(QtDialogTest, PasteKeysReachThePasteHandlerButNotDuringLongWork) {
    PastingDialog pasting;
    const HWND pastingWnd =
        open(pasting, makeTemplate(DIALOG + 1, {{LIST, ControlKind::ListView, "", 7, 7, 100, 50,
                                                 LVS_REPORT | WS_TABSTOP, 0},
                                                {COMBO, ControlKind::ComboBox, "", 7, 60, 60, 50,
                                                 CBS_DROPDOWNLIST | WS_TABSTOP, 0}}));
    const HWND combo = qt.dialogItem(pastingWnd, COMBO);
    qt.comboAddString(combo, "v");
    showActive(pastingWnd);
    // A drop-down list given the key press would search its entries for it instead.
    qt.widget(combo)->setFocus();
    QTest::keyClick(qt.widget(combo), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(qt.comboSelection(combo), -1);
    QWidget* list = item(pastingWnd, LIST);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(pasting.pastes, 2);
    qt.beginWork(pastingWnd, 0);
    QTest::keyClick(list, Qt::Key_V, Qt::ControlModifier);
    qt.serveEvents(pastingWnd);
    qt.endWork(pastingWnd);
    QApplication::processEvents();
    EXPECT_EQ(pasting.pastes, 2) << "dropped, not delivered after the work";
    pasting.DestroyWindow();
}

TEST_F(QtDialogTest, CloseBoxIsTheCloseSystemCommand) {
    showActive(wnd);
    EXPECT_FALSE(widget(wnd)->close()); // Qt's own close is refused: the framework decides
    const std::vector<Message> system = dialog.of(WM_SYSCOMMAND);
    ASSERT_EQ(system.size(), 1u);
    EXPECT_EQ(system[0].wParam, SC_CLOSE);
    // The default handling turns it into WM_CLOSE and then into IDCANCEL.
    EXPECT_EQ(dialog.count(WM_CLOSE), 1);
    ASSERT_EQ(commands().size(), 1u);
    EXPECT_EQ(commands()[0].wParam, clicked(IDCANCEL));
    EXPECT_TRUE(qt.isWindow(wnd));
    EXPECT_FALSE(qt.isVisible(wnd));
}

TEST_F(QtDialogTest, ADisabledWindowTakesNoInput) {
    showActive(wnd);
    qt.enableWindow(wnd, false);
    EXPECT_FALSE(qt.isEnabled(wnd));
    // Disabled without greying out its controls.
    EXPECT_TRUE(item(wnd, GO)->isEnabled());
    QTest::mouseClick(item(wnd, GO), Qt::LeftButton);
    QTest::keyClick(widget(wnd), Qt::Key_Escape);
    widget(wnd)->close();
    EXPECT_TRUE(commands().empty());
    EXPECT_EQ(dialog.count(WM_SYSCOMMAND), 0);
    qt.enableWindow(wnd, true);
    QTest::mouseClick(item(wnd, GO), Qt::LeftButton);
    EXPECT_EQ(commands().size(), 1u);
}

// The system menu.

TEST_F(QtDialogTest, SystemMenuStartsWithCloseAndTakesEntries) {
    const HMENU menu = qt.systemMenu(wnd);
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(qt.appendMenu(menu, MenuEntryKind::Separator, 0, ""));
    EXPECT_TRUE(qt.appendMenu(menu, MenuEntryKind::Command, 0x10, "&About md5..."));
    EXPECT_FALSE(
        qt.appendMenu(reinterpret_cast<HMENU>(&dialog), MenuEntryKind::Command, 0x20, "x"));
    const QList<QAction*> actions = qt.systemMenuWidget(wnd)->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(actions[0]->text(), "&Close");
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_EQ(actions[2]->text(), "&About md5...");
    actions[2]->trigger();
    const std::vector<Message> system = dialog.of(WM_SYSCOMMAND);
    ASSERT_EQ(system.size(), 1u);
    EXPECT_EQ(system[0].wParam, 0x10u);
}

TEST_F(QtDialogTest, RightClickOnTheBackgroundOpensTheSystemMenu) {
    showActive(wnd);
    QMenu* menu = qt.systemMenuWidget(wnd);
    QWidget* top = widget(wnd);
    const QPoint overButton = item(wnd, GO)->geometry().center();
    QContextMenuEvent onButton(QContextMenuEvent::Mouse, item(wnd, GO)->rect().center(),
                               item(wnd, GO)->mapToGlobal(item(wnd, GO)->rect().center()));
    QApplication::sendEvent(item(wnd, GO), &onButton);
    EXPECT_FALSE(menu->isVisible()) << "over a control at " << overButton.x();

    const QPoint empty(top->width() - 3, top->height() - 3);
    ASSERT_EQ(top->childAt(empty), nullptr);
    QContextMenuEvent onBackground(QContextMenuEvent::Mouse, empty, top->mapToGlobal(empty));
    QApplication::sendEvent(top, &onBackground);
    EXPECT_TRUE(menu->isVisible());
    menu->hide();
}

TEST_F(QtDialogTest, ShiftF10AndTheMenuKeyOpenTheSystemMenu) {
    showActive(wnd);
    QMenu* menu = qt.systemMenuWidget(wnd);
    QTest::keyClick(widget(wnd), Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_TRUE(menu->isVisible());
    menu->hide();
    QContextMenuEvent fromKey(QContextMenuEvent::Keyboard, QPoint(0, 0),
                              widget(wnd)->mapToGlobal(QPoint(0, 0)));
    QApplication::sendEvent(widget(wnd), &fromKey);
    EXPECT_TRUE(menu->isVisible());
    menu->hide();
}

TEST_F(QtDialogTest, AWindowWithoutSystemMenuStyleHasNone) {
    DialogTemplate plain = makeTemplate(DIALOG + 1, {});
    plain.style &= ~WS_SYSMENU;
    RecordingDialog other;
    const HWND bare = open(other, plain);
    EXPECT_EQ(qt.systemMenu(bare), nullptr);
    showActive(bare);
    widget(bare)->close();
    EXPECT_EQ(other.count(WM_SYSCOMMAND), 0);
    other.DestroyWindow();
}
