// Modal runs and drops on the headless window system, driven through the framework's dialogs.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/dialog.h"
#include "platform/menu.h"
#include "platform/ole_drop_target.h"
#include "platform/resources.h"
#include "tests/support/headless_backend_test.h"
#include "tests/support/make_template.h"

namespace {

constexpr int HOST = 9300;
constexpr int ABOUT = 9301;
constexpr int COPY = 1003;
constexpr int LIST = 1000;
constexpr UINT ABOUT_ENTRY = 16;

DialogTemplate hostTemplate() {
    return makeTemplate(
        HOST,
        {
            {IDOK, ControlKind::PushButton, "OK", 260, 7, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
            {LIST, ControlKind::ListView, "", 7, 42, 306, 152, LVS_REPORT | WS_TABSTOP, 0},
            {COPY, ControlKind::PushButton, "Copy", 7, 24, 50, 14, WS_TABSTOP, 0},
        },
        {.cx = 320, .cy = 201});
}

DialogTemplate aboutTemplate() {
    return makeTemplate(ABOUT,
                        {{IDOK, ControlKind::PushButton, "OK", 231, 7, 50, 14,
                          BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 0}},
                        {.cx = 288, .cy = 53, .resizable = false});
}

// Answers drags with a chosen effect and keeps what was dropped.
class Catcher : public COleDropTarget {
public:
    DROPEFFECT answer = DROPEFFECT_COPY;
    std::vector<std::string> files;
    std::string text;
    bool hadFiles = false;
    bool hadText = false;
    int leaves = 0;
    CWnd* dropWindow = nullptr;

    DROPEFFECT OnDragEnter(CWnd*, COleDataObject*, DWORD, POINT) override { return answer; }
    DROPEFFECT OnDragOver(CWnd*, COleDataObject*, DWORD, POINT) override { return answer; }
    void OnDragLeave(CWnd*) override { ++leaves; }
    BOOL OnDrop(CWnd* wnd, COleDataObject* data, DROPEFFECT, POINT) override {
        dropWindow = wnd;
        hadFiles = data->GetFileList(files) != FALSE;
        hadText = data->GetText(text) != FALSE;
        // A long drop works with only OK as its stop control, and serves events meanwhile.
        wnd->BeginWork(IDOK);
        wnd->ServeEvents();
        wnd->EndWork();
        return TRUE;
    }
};

class HostDialog : public CDialog {
public:
    explicit HostDialog(CWnd* parent = nullptr) : CDialog(HOST, parent) {}

    Catcher catcher;
    bool registerTarget = true;
    bool refuseCancel = false;
    int copies = 0;
    int aboutResult = 0;

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        if (CMenu* menu = GetSystemMenu(FALSE)) {
            menu->AppendMenu(MF_SEPARATOR);
            menu->AppendMenu(MF_STRING, ABOUT_ENTRY, "&About...");
        }
        if (registerTarget) {
            catcher.Register(this);
        }
        return TRUE;
    }
    void OnCancel() override {
        if (!refuseCancel) {
            CDialog::OnCancel();
        }
    }
    void OnCopy() { ++copies; }
    void OnSysCommand(UINT id, LPARAM lParam) {
        if ((id & 0xFFF0) == ABOUT_ENTRY) {
            CDialog about(ABOUT, this);
            aboutResult = about.DoModal();
            return;
        }
        CWnd::OnSysCommand(id, lParam);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(HostDialog, CDialog)
ON_BN_CLICKED(COPY, OnCopy)
ON_WM_SYSCOMMAND()
END_MESSAGE_MAP()

class HeadlessTest : public HeadlessBackendTest {
protected:
    void SetUp() override {
        Resources::addDialog(hostTemplate());
        Resources::addDialog(aboutTemplate());
    }
};

using HeadlessModal = HeadlessTest;
using HeadlessDrop = HeadlessTest;

} // namespace

TEST_F(HeadlessModal, ActionsRunInOrderEachGivenTheRunningDialog) {
    HostDialog host;
    std::vector<HWND> seen;
    headless.queue([&](HWND dlg) {
        seen.push_back(dlg);
        headless.click(dlg, COPY);
    });
    headless.queue([&](HWND dlg) {
        seen.push_back(dlg);
        headless.click(dlg, COPY);
    });
    EXPECT_EQ(host.DoModal(), IDCANCEL) << "closed by its close box once the queue ran dry";
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], seen[1]);
    EXPECT_EQ(host.copies, 2);
    EXPECT_EQ(headless.autoCloses(), 1);
    EXPECT_EQ(headless.forcedEnds(), 0);
}

TEST_F(HeadlessModal, ADialogThatRefusesToCloseIsEndedAnyway) {
    HostDialog host;
    host.refuseCancel = true;
    headless.queue([&](HWND dlg) { headless.pressEscape(dlg); });
    EXPECT_EQ(host.DoModal(), IDCANCEL);
    EXPECT_EQ(headless.autoCloses(), 1);
    EXPECT_EQ(headless.forcedEnds(), 1);
    EXPECT_TRUE(headless.topLevelWindows().empty());
}

TEST_F(HeadlessModal, EnterOnAFocusedButtonPressesItAndTheDialogRunsOn) {
    HostDialog host;
    headless.queue([&](HWND dlg) {
        headless.focusControl(dlg, COPY);
        headless.pressEnter(dlg);
    });
    headless.queue([&](HWND dlg) {
        headless.focusControl(dlg, LIST);
        headless.pressEnter(dlg); // the list takes no Enter: the default button, OK, does
    });
    headless.queue([&](HWND) { ADD_FAILURE() << "the dialog had already ended"; });
    EXPECT_EQ(host.DoModal(), IDOK);
    EXPECT_EQ(host.copies, 1);
    EXPECT_EQ(headless.autoCloses(), 0);
}

TEST_F(HeadlessModal, ANestedDialogGetsItsOwnActionsWhileItsOwnerTakesNoInput) {
    HostDialog host;
    HWND hostWnd = nullptr;
    HWND aboutWnd = nullptr;
    bool hostClickTaken = true;
    headless.queue([&](HWND dlg) {
        hostWnd = dlg;
        headless.chooseSystemMenu(dlg, "&About...");
        // Runs after the About box has closed.
        headless.click(dlg, COPY);
    });
    headless.queue([&](HWND dlg) {
        aboutWnd = dlg;
        hostClickTaken = headless.click(hostWnd, COPY);
        headless.pressEnter(dlg);
    });
    headless.queue([&](HWND dlg) { headless.pressEscape(dlg); });
    EXPECT_EQ(host.DoModal(), IDCANCEL);
    EXPECT_EQ(host.aboutResult, IDOK);
    EXPECT_NE(aboutWnd, hostWnd);
    EXPECT_EQ(headless.modalRuns(), (std::vector<HWND>{hostWnd, aboutWnd}));
    EXPECT_FALSE(hostClickTaken);
    EXPECT_EQ(headless.ignoredInput(), (std::vector<std::string>{"click control 1003: disabled"}));
    EXPECT_EQ(host.copies, 1) << "the click after the About box closed";
}

TEST_F(HeadlessModal, AnUnfinishedNestedRunIsClosedBeforeItsOwnersRunGoesOn) {
    HostDialog host;
    headless.queue([&](HWND dlg) { headless.chooseSystemMenu(dlg, ABOUT_ENTRY); });
    EXPECT_EQ(host.DoModal(), IDCANCEL);
    EXPECT_EQ(host.aboutResult, IDCANCEL);
    EXPECT_EQ(headless.autoCloses(), 2);
}

TEST_F(HeadlessModal, DestroyingTheDialogEndsItsLoop) {
    HostDialog host;
    headless.queue([&](HWND dlg) { headless.destroyWindow(dlg); });
    headless.queue([&](HWND) { ADD_FAILURE() << "the loop outlived its window"; });
    EXPECT_EQ(host.DoModal(), -1);
    headless.queue([](HWND) {}); // left over for nobody: harmless
}

TEST_F(HeadlessDrop, FilesReachTheRegisteredTargetInOrder) {
    HostDialog host;
    headless.queue([&](HWND dlg) { headless.dropFiles(dlg, {"/data/b.bin", "/data/a.txt"}); });
    host.DoModal();
    EXPECT_TRUE(host.catcher.hadFiles);
    EXPECT_FALSE(host.catcher.hadText);
    EXPECT_EQ(host.catcher.files, (std::vector<std::string>{"/data/b.bin", "/data/a.txt"}));
    EXPECT_EQ(host.catcher.dropWindow, &host);
    ASSERT_EQ(headless.drops().size(), 1u);
    EXPECT_EQ(headless.drops()[0].enterEffect, DROPEFFECT_COPY);
    EXPECT_EQ(headless.drops()[0].overEffect, DROPEFFECT_COPY);
    EXPECT_TRUE(headless.drops()[0].dropped);
    EXPECT_EQ(headless.drops()[0].dropResult, TRUE);
    EXPECT_EQ(headless.workBegun(), 1);
    EXPECT_EQ(headless.workEnded(), 1);
    EXPECT_EQ(headless.serveCalls(), 1);
}

TEST_F(HeadlessDrop, TextAndEmptyDragsCarryWhatTheySay) {
    HostDialog host;
    bool textTaken = false;
    bool nothingTaken = false;
    std::vector<bool> seenText;
    headless.queue([&](HWND dlg) {
        textTaken = headless.dropText(dlg, "new caption");
        seenText.push_back(host.catcher.hadText);
        nothingTaken = headless.dropNothing(dlg);
        seenText.push_back(host.catcher.hadText || host.catcher.hadFiles);
    });
    host.DoModal();
    EXPECT_TRUE(textTaken);
    EXPECT_TRUE(nothingTaken) << "the target, not the backend, decides what to do with it";
    EXPECT_EQ(seenText, (std::vector<bool>{true, false}));
    EXPECT_EQ(host.catcher.text, "new caption");
}

TEST_F(HeadlessDrop, ADropOnAControlReachesItsDialogsTarget) {
    HostDialog host;
    headless.queue([&](HWND dlg) { headless.dropFiles(headless.dialogItem(dlg, LIST), {"/x"}); });
    host.DoModal();
    EXPECT_EQ(host.catcher.files, (std::vector<std::string>{"/x"}));
    ASSERT_EQ(headless.drops().size(), 1u);
    EXPECT_NE(headless.drops()[0].wnd, headless.drops()[0].targetWindow);
}

TEST_F(HeadlessDrop, ATargetThatDeclinesGetsALeaveInsteadOfTheDrop) {
    HostDialog host;
    host.catcher.answer = DROPEFFECT_NONE;
    bool taken = true;
    headless.queue([&](HWND dlg) { taken = headless.dropFiles(dlg, {"/x"}); });
    host.DoModal();
    EXPECT_FALSE(taken);
    EXPECT_EQ(host.catcher.leaves, 1);
    EXPECT_TRUE(host.catcher.files.empty());
    ASSERT_EQ(headless.drops().size(), 1u);
    EXPECT_FALSE(headless.drops()[0].dropped);
}

TEST_F(HeadlessDrop, WithoutARegisteredTargetTheDropIsRefused) {
    HostDialog host;
    host.registerTarget = false;
    bool taken = true;
    headless.queue([&](HWND dlg) { taken = headless.dropFiles(dlg, {"/x"}); });
    host.DoModal();
    EXPECT_FALSE(taken);
    ASSERT_EQ(headless.drops().size(), 1u);
    EXPECT_EQ(headless.drops()[0].targetWindow, nullptr);
    EXPECT_TRUE(host.catcher.files.empty());
}

TEST_F(HeadlessDrop, ASecondRegistrationOnTheSameWindowIsRefused) {
    HostDialog host;
    bool second = true;
    headless.queue([&](HWND dlg) {
        Catcher other;
        second = other.Register(CWnd::FromHandlePermanent(dlg)) != FALSE;
        headless.dropFiles(dlg, {"/x"});
    });
    host.DoModal();
    EXPECT_FALSE(second);
    EXPECT_EQ(host.catcher.files, (std::vector<std::string>{"/x"}));
}
