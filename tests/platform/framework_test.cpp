// The window framework over the headless backend: message tables, data exchange, modal runs.

#include <gtest/gtest.h>

#include "platform/data_exchange.h"
#include "platform/dialog.h"
#include "platform/list_ctrl.h"
#include "platform/resources.h"
#include "platform/win_app.h"
#include "tests/support/headless_backend_test.h"
#include "tests/support/make_template.h"

namespace {

constexpr int TEST_DIALOG = 500;
constexpr int RADIO_A = 601;
constexpr int RADIO_B = 602;
constexpr int RADIO_C = 603;
constexpr int BUTTON = 604;
constexpr int LIST = 605;

// A 200 × 96 dialog-unit window with a fixed frame.
DialogTemplate testTemplate() {
    return makeTemplate(
        TEST_DIALOG,
        {
            {IDOK, ControlKind::PushButton, "OK", 140, 7, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
            {RADIO_A, ControlKind::RadioButton, "A", 7, 7, 40, 10, BS_AUTORADIOBUTTON | WS_GROUP,
             0},
            {RADIO_B, ControlKind::RadioButton, "B", 7, 20, 40, 10, BS_AUTORADIOBUTTON, 0},
            {BUTTON, ControlKind::PushButton, "Go", 7, 40, 50, 14, WS_TABSTOP, 0},
            {RADIO_C, ControlKind::RadioButton, "C", 7, 60, 40, 10, BS_AUTORADIOBUTTON, 0},
            {LIST, ControlKind::ListView, "", 60, 40, 100, 50, LVS_REPORT | WS_GROUP, 0},
        },
        {.cy = 96, .resizable = false});
}

class TestDialog : public CDialog {
public:
    explicit TestDialog(CWnd* parent = nullptr) : CDialog(TEST_DIALOG, parent) {}

    int choice = -1;
    int clicks = 0;
    int sizes = 0;
    int lastCx = -1;
    int lastCy = -1;
    int pastes = 0;
    bool endDuringInit = false;
    bool moveDuringInit = false;
    CListCtrl list;

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        if (moveDuringInit) {
            MoveWindow(40, 30, 300, 200);
        }
        if (endDuringInit) {
            EndDialog(77);
        }
        return TRUE;
    }
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, LIST, list);
        DDX_Radio(pDX, RADIO_A, choice);
    }
    void OnGo() { ++clicks; }
    void OnPaste() { ++pastes; }
    void OnSize(UINT type, int cx, int cy) {
        CWnd::OnSize(type, cx, cy);
        ++sizes;
        lastCx = cx;
        lastCy = cy;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestDialog, CDialog)
ON_BN_CLICKED(BUTTON, OnGo)
ON_WM_SIZE()
ON_WM_PASTE()
END_MESSAGE_MAP()

class TestApp : public CWinApp {
public:
    TestApp() : CWinApp("framework-test") {}
    int helps = 0;

protected:
    void OnHelpCommand() { ++helps; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestApp, CWinApp)
ON_COMMAND(ID_HELP, OnHelpCommand)
END_MESSAGE_MAP()

class FrameworkTest : public HeadlessBackendTest {
protected:
    void SetUp() override { Resources::addDialog(testTemplate()); }
};

} // namespace

TEST_F(FrameworkTest, DoModalReturnsTheButtonThatEndedItAndDestroysTheWindow) {
    TestDialog dialog;
    HWND seen = nullptr;
    headless.queue([&](HWND dlg) {
        seen = dlg;
        headless.click(dlg, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_NE(seen, nullptr);
    EXPECT_FALSE(IsWindow(seen));
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_EQ(dialog.list.m_hWnd, nullptr) << "bound controls are detached with their dialog";
}

TEST_F(FrameworkTest, CloseBoxAndEscapeCancel) {
    TestDialog closed;
    headless.queue([&](HWND dlg) { headless.closeBox(dlg); });
    EXPECT_EQ(closed.DoModal(), IDCANCEL);

    TestDialog escaped;
    headless.queue([&](HWND dlg) { headless.pressEscape(dlg); });
    EXPECT_EQ(escaped.DoModal(), IDCANCEL);

    TestDialog untouched; // the queue is empty: the backend closes it by the close box
    EXPECT_EQ(untouched.DoModal(), IDCANCEL);
}

TEST_F(FrameworkTest, MissingTemplateFailsWithoutAWindow) {
    CDialog dialog(9999);
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_TRUE(headless.topLevelWindows().empty());
}

TEST_F(FrameworkTest, HandlersInTheTableRunAndUnhandledCommandsFallThrough) {
    TestDialog dialog;
    headless.queue([&](HWND dlg) {
        headless.click(dlg, BUTTON);
        headless.click(dlg, BUTTON);
        SendMessage(dlg, WM_COMMAND, MAKEWPARAM(12345, BN_CLICKED), 0); // nobody handles it
        headless.click(dlg, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.clicks, 2);
}

TEST_F(FrameworkTest, CommandsNoWindowHandlesReachTheApplication) {
    TestApp app;
    TestDialog dialog;
    app.m_pMainWnd = &dialog;
    headless.queue([&](HWND dlg) { SendMessage(dlg, WM_COMMAND, MAKEWPARAM(ID_HELP, 0), 0); });
    dialog.DoModal();
    app.m_pMainWnd = nullptr;
    EXPECT_EQ(app.helps, 1);
}

TEST_F(FrameworkTest, SizeMessagesCarryTheClientSize) {
    TestDialog dialog;
    headless.queue([&](HWND dlg) {
        RECT w;
        GetWindowRect(dlg, &w);
        MoveWindow(dlg, w.left, w.top, 408, 326, TRUE);
    });
    dialog.DoModal();
    EXPECT_GE(dialog.sizes, 1);
    EXPECT_EQ(dialog.lastCx, 400);
    EXPECT_EQ(dialog.lastCy, 300);
}

TEST_F(FrameworkTest, PasteReachesTheDialogsHandlerButNotDuringLongWork) {
    TestDialog dialog;
    headless.queue([&](HWND dlg) {
        headless.focusControl(dlg, LIST);
        EXPECT_TRUE(headless.pressPaste(dlg));
        dialog.BeginWork(BUTTON);
        EXPECT_FALSE(headless.pressPaste(dlg));
        dialog.EndWork();
    });
    dialog.DoModal();
    EXPECT_EQ(dialog.pastes, 1);
    ASSERT_FALSE(headless.ignoredInput().empty());
    EXPECT_EQ(headless.ignoredInput().back(), "paste dialog 500: working");
}

TEST_F(FrameworkTest, RadioGroupExchangesTheCheckedIndex) {
    TestDialog dialog;
    std::vector<int> seen;
    headless.queue([&](HWND dlg) {
        dialog.UpdateData(TRUE);
        seen.push_back(dialog.choice); // nothing checked yet
        headless.click(dlg, RADIO_B);
        dialog.UpdateData(TRUE);
        seen.push_back(dialog.choice);
        // RADIO_C lies past a push button but before the next group: it belongs to the group.
        headless.click(dlg, RADIO_C);
        dialog.UpdateData(TRUE);
        seen.push_back(dialog.choice);
        dialog.choice = 0;
        dialog.UpdateData(FALSE);
        seen.push_back(headless.isChecked(GetDlgItem(dlg, RADIO_A)) ? 1 : 0);
        seen.push_back(headless.isChecked(GetDlgItem(dlg, RADIO_C)) ? 1 : 0);
    });
    dialog.DoModal();
    EXPECT_EQ(seen, (std::vector<int>{-1, 1, 2, 1, 0}));
}

TEST_F(FrameworkTest, OkReadsTheControlsBack) {
    TestDialog dialog;
    headless.queue([&](HWND dlg) {
        headless.click(dlg, RADIO_B);
        headless.pressEnter(dlg);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.choice, 1);
}

TEST_F(FrameworkTest, AnUnmovedDialogIsCentredOnTheScreen) {
    TestDialog dialog;
    RECT r{};
    headless.queue([&](HWND dlg) { GetWindowRect(dlg, &r); });
    dialog.DoModal();
    // 200 × 96 dialog units: 300 × 156 client pixels, 308 × 182 outside.
    EXPECT_EQ(r.width(), 308);
    EXPECT_EQ(r.height(), 182);
    EXPECT_EQ(r.left, (1024 - 308) / 2);
    EXPECT_EQ(r.top, (768 - 182) / 2);
}

TEST_F(FrameworkTest, ADialogMovedDuringInitialisationStaysWhereItWasPut) {
    TestDialog dialog;
    dialog.moveDuringInit = true;
    RECT r{};
    headless.queue([&](HWND dlg) { GetWindowRect(dlg, &r); });
    dialog.DoModal();
    EXPECT_EQ(r, (RECT{40, 30, 340, 230}));
}

TEST_F(FrameworkTest, EndingDuringInitialisationSkipsTheModalLoop) {
    TestDialog dialog;
    dialog.endDuringInit = true;
    EXPECT_EQ(dialog.DoModal(), 77);
    EXPECT_TRUE(headless.modalRuns().empty());
}

TEST_F(FrameworkTest, ANestedDialogDisablesItsOwnerAndIsCentredOverIt) {
    TestDialog outer;
    bool ownerEnabledDuringInner = true;
    bool ownerEnabledAfter = false;
    RECT outerRect{};
    RECT innerRect{};
    headless.queue([&](HWND dlg) {
        MoveWindow(dlg, 100, 50, 600, 400, TRUE);
        GetWindowRect(dlg, &outerRect);
        TestDialog inner(&outer);
        headless.queue([&](HWND innerDlg) {
            ownerEnabledDuringInner = headless.isEnabled(dlg);
            GetWindowRect(innerDlg, &innerRect);
        });
        inner.DoModal();
        ownerEnabledAfter = headless.isEnabled(dlg);
    });
    outer.DoModal();
    EXPECT_FALSE(ownerEnabledDuringInner);
    EXPECT_TRUE(ownerEnabledAfter);
    EXPECT_EQ(innerRect.left - outerRect.left, outerRect.right - innerRect.right);
    EXPECT_EQ(innerRect.top - outerRect.top, outerRect.bottom - innerRect.bottom);
}

TEST_F(FrameworkTest, ControlsAreReachedByIdAndPlacedInParentCoordinates) {
    TestDialog dialog;
    WINDOWPLACEMENT placement{};
    CWnd* missing = reinterpret_cast<CWnd*>(1);
    CWnd* first = nullptr;
    CWnd* again = nullptr;
    headless.queue([&](HWND) {
        first = dialog.GetDlgItem(BUTTON);
        again = dialog.GetDlgItem(BUTTON);
        missing = dialog.GetDlgItem(4242);
        first->GetWindowPlacement(&placement);
    });
    dialog.DoModal();
    EXPECT_EQ(first, again);
    EXPECT_EQ(missing, nullptr);
    // Control at (7, 40) dialog units, 50 × 14: (11, 65), 75 × 23 pixels.
    EXPECT_EQ(placement.rcNormalPosition, (RECT{11, 65, 86, 88}));
}

TEST_F(FrameworkTest, ApplicationNamesComeFromTheExecutable) {
    CWinApp app;
    app.setNamesFromExecutable("/usr/local/bin/digestor");
    EXPECT_EQ(app.m_appName, "digestor");
    EXPECT_NE(app.m_profileName.find("/digestor.INI"), std::string::npos);

    CWinApp withExtension;
    withExtension.setNamesFromExecutable("tool.bin");
    EXPECT_EQ(withExtension.m_appName, "tool");
}

TEST_F(FrameworkTest, ListRowsKeepTheirSelectionWhenRowsComeAboveAndLoseItWhenAllGo) {
    const HWND dlg = headless.createDialog(testTemplate(), nullptr);
    CListCtrl list;
    list.Attach(GetDlgItem(dlg, LIST));
    list.InsertColumn(0, "Filename", LVCFMT_LEFT, 200);
    list.InsertColumn(1, "Actual Checksum", LVCFMT_LEFT, 225);
    EXPECT_TRUE(list.SetColumnWidth(1, 417));
    EXPECT_EQ(headless.columnWidth(list.m_hWnd, 1), 417);
    EXPECT_EQ(headless.columnWidth(list.m_hWnd, 0), 200);

    for (const char* name : {"c", "b", "a"}) {
        list.InsertItem(0, name, 1);
    }
    EXPECT_TRUE(list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED));
    EXPECT_TRUE(list.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED));
    EXPECT_TRUE(list.SetItemState(1, LVIS_SELECTED, 0)) << "the mask leaves the state alone";
    EXPECT_FALSE(list.SetItemState(3, LVIS_SELECTED, LVIS_SELECTED));
    EXPECT_TRUE(list.EnsureVisible(2, FALSE));
    EXPECT_FALSE(list.EnsureVisible(3, FALSE));
    EXPECT_EQ(headless.lastVisibleItem(list.m_hWnd), 2);

    list.InsertItem(0, "new", 1);
    EXPECT_EQ(headless.selectedItems(list.m_hWnd), (std::vector<int>{1, 3})) << "a and c";
    EXPECT_TRUE(list.SetItemState(-1, 0, LVIS_SELECTED));
    EXPECT_TRUE(headless.selectedItems(list.m_hWnd).empty());
    EXPECT_TRUE(list.SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED));
    EXPECT_TRUE(list.SetItemState(1, 0, LVIS_SELECTED));
    EXPECT_EQ(headless.selectedItems(list.m_hWnd), (std::vector<int>{0, 2, 3}));

    list.DeleteAllItems();
    list.InsertItem(0, "later", 1);
    EXPECT_TRUE(headless.selectedItems(list.m_hWnd).empty());
    EXPECT_EQ(headless.lastVisibleItem(list.m_hWnd), -1);
    headless.destroyWindow(dlg);
}
