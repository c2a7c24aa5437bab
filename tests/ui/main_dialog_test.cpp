// The main window on the headless window system: opening, system menu, keys, painting.

#include <cctype>
#include <map>

#include "platform/resources.h"
#include "platform/win_app.h"
#include "res/resource.h"
#include "tests/ui/ui_test_support.h"
#include "ui/main_dialog.h"

namespace {

class MainDialogTest : public UiTest {
protected:
    /// Runs a main dialog; body gets it while its window is open. Returns DoModal's result.
    template <typename F> int run(F body) {
        MainDialog dialog(nullptr);
        headless.queue([&](HWND dlg) { body(dialog, dlg); });
        return dialog.DoModal();
    }
};

} // namespace

TEST_F(MainDialogTest, OpensCentredWithCheckFilesSelectedAndAnEmptyList) {
    run([&](MainDialog& dialog, HWND dlg) {
        EXPECT_EQ(headless.windowText(dlg), "Brackwater Digestor");
        EXPECT_TRUE(headless.isChecked(GetDlgItem(dlg, IDC_CHECK_FILES)));
        EXPECT_FALSE(headless.isChecked(GetDlgItem(dlg, IDC_GENERATE)));
        EXPECT_EQ(dialog.checkMode, 0);
        EXPECT_EQ(dialog.report.resultList.GetItemCount(), 0);
        EXPECT_EQ(dialog.verbose, 0);
        EXPECT_EQ(dialog.binary, 1);
        RECT r;
        GetWindowRect(dlg, &r);
        EXPECT_EQ(r.left, (1024 - r.width()) / 2);
        EXPECT_EQ(r.top, (768 - r.height()) / 2);
        EXPECT_TRUE(headless.isVisible(dlg));
        EXPECT_EQ(headless.windowIcon(dlg, IconSize::Big), dialog.appIcon);
        EXPECT_EQ(headless.windowIcon(dlg, IconSize::Small), dialog.appIcon);
        EXPECT_NE(dialog.appIcon, nullptr);
    });
}

TEST_F(MainDialogTest, ControlsAreLaidOutInTwoRowsAboveTheListAndTheStripBelow) {
    run([&](MainDialog&, HWND dlg) {
        auto rectOf = [&](int id) {
            WINDOWPLACEMENT wp;
            CWnd::FromHandlePermanent(dlg)->GetDlgItem(id)->GetWindowPlacement(&wp);
            return wp.rcNormalPosition;
        };
        // Row one: OK, Clear List, the two mode buttons, 5 pixels apart from the margin on.
        const RECT ok = rectOf(IDOK), clear = rectOf(IDC_CLEAR_LIST);
        const RECT check = rectOf(IDC_CHECK_FILES), generate = rectOf(IDC_GENERATE);
        EXPECT_EQ(ok.left, 5);
        EXPECT_EQ(ok.top, 5);
        EXPECT_EQ(clear.left, ok.right + 5);
        EXPECT_EQ(check.left, clear.right + 5);
        EXPECT_EQ(generate.left, check.right + 5);
        EXPECT_EQ(ok.width(), 75);
        EXPECT_EQ(ok.height(), 23);
        // Row two under the tallest button of row one, then the list filling the rest.
        const RECT copy = rectOf(IDC_TO_CLIPBOARD), save = rectOf(IDC_SAVE_AS);
        const RECT list = rectOf(IDC_RESULT_LIST);
        EXPECT_EQ(copy.top, ok.bottom + 5);
        EXPECT_EQ(copy.left, 5);
        EXPECT_EQ(save.left, copy.right + 5);
        EXPECT_EQ(list.top, copy.bottom + 5);
        EXPECT_EQ(list.left, 5);
        RECT client;
        GetClientRect(dlg, &client);
        EXPECT_EQ(list.right, client.right - 5);
        // The status strip under the list ends the grip's height above the bottom, Stop at the
        // right; idle, its text reaches across the hidden bar to Stop.
        const RECT grip = rectOf(0xFFFF);
        EXPECT_EQ(grip.right, client.right);
        EXPECT_EQ(grip.bottom, client.bottom);
        const RECT stop = rectOf(IDC_STOP), text = rectOf(IDC_STATUS_TEXT);
        EXPECT_EQ(stop.top, list.bottom + 5);
        EXPECT_EQ(stop.bottom, client.bottom - grip.height());
        EXPECT_EQ(stop.right, client.right - 5);
        EXPECT_EQ(text.left, 5);
        EXPECT_EQ(text.right, stop.left - 5);
        EXPECT_EQ(text.top + text.bottom, stop.top + stop.bottom); // centred on the row
        EXPECT_FALSE(headless.isVisible(headless.dialogItem(dlg, IDC_PROGRESS)));
        EXPECT_FALSE(headless.isEnabled(headless.dialogItem(dlg, IDC_STOP)));
        EXPECT_EQ(headless.windowText(headless.dialogItem(dlg, IDC_STATUS_TEXT)), STRIP_HINT);

        // At its narrowest the window is as wide as the top row: the strip fits in that.
        ASSERT_TRUE(headless.dragFrame(dlg, 10, 10));
        GetClientRect(dlg, &client);
        EXPECT_EQ(client.right, rectOf(IDC_GENERATE).right + 5);
        EXPECT_LE(rectOf(IDC_STATUS_TEXT).left, rectOf(IDC_PROGRESS).left);
    });
}

// Two controls with one mnemonic take turns at the focus and neither is pressed (Alt+S would
// neither save nor stop), so within a template every mnemonic is a control's own.
TEST_F(MainDialogTest, NoTwoControlsOfATemplateShareAMnemonic) {
    for (int id : {IDD_DIGESTOR_DIALOG, IDD_ABOUTBOX}) {
        const DialogTemplate* dialog = Resources::dialog(id);
        ASSERT_NE(dialog, nullptr) << id;
        std::map<char, std::string> owners;
        for (const ControlTemplate& control : dialog->controls) {
            if (control.kind == ControlKind::StaticText && (control.style & SS_NOPREFIX)) {
                continue;
            }
            const std::string& text = control.text;
            // "&&" is a literal ampersand; the letter after a lone '&' is the mnemonic.
            std::size_t at = text.find('&');
            while (at != std::string::npos && at + 1 < text.size() && text[at + 1] == '&') {
                at = text.find('&', at + 2);
            }
            if (at == std::string::npos || at + 1 == text.size()) {
                continue;
            }
            const char key = char(std::tolower(static_cast<unsigned char>(text[at + 1])));
            const auto [owner, added] = owners.emplace(key, text);
            EXPECT_TRUE(added) << "\"" << text << "\" and \"" << owner->second << "\" share Alt+"
                               << key << " in template " << id;
        }
    }
}

TEST_F(MainDialogTest, SystemMenuEndsWithTheAboutEntry) {
    run([&](MainDialog&, HWND dlg) {
        const auto entries = headless.systemMenuEntries(dlg);
        ASSERT_GE(entries.size(), 6u);
        EXPECT_EQ(entries[entries.size() - 6].text, "Compare with Clipboard");
        EXPECT_EQ(entries[entries.size() - 5].text, "Show Problems Only\tCtrl+P");
        EXPECT_EQ(entries[entries.size() - 4].text, "Next Problem\tF8");
        EXPECT_EQ(entries[entries.size() - 3].text, "Previous Problem\tShift+F8");
        EXPECT_EQ(entries[entries.size() - 2].kind, MenuEntryKind::Separator);
        EXPECT_EQ(entries.back().text, "&About md5...");
        EXPECT_EQ(entries.back().id, ABOUT_COMMAND_ID);
    });
}

TEST_F(MainDialogTest, AboutEntryOpensTheAboutBoxOverADisabledMainWindow) {
    HWND about = nullptr;
    bool mainEnabledMeanwhile = true;
    std::string aboutCaption;
    CWinApp app("digestor");
    run([&](MainDialog& dialog, HWND dlg) {
        app.m_pMainWnd = &dialog; // as start-up makes it
        headless.queue([&](HWND box) {
            about = box;
            aboutCaption = headless.windowText(box);
            mainEnabledMeanwhile = headless.isEnabled(dlg);
            headless.click(box, IDOK);
        });
        headless.chooseSystemMenu(dlg, "&About md5...");
        EXPECT_TRUE(headless.isEnabled(dlg));
        headless.click(dlg, IDOK);
    });
    app.m_pMainWnd = nullptr;
    EXPECT_NE(about, nullptr);
    EXPECT_EQ(aboutCaption, "Digestor Utility");
    EXPECT_FALSE(mainEnabledMeanwhile);
}

TEST_F(MainDialogTest, SystemCommandsDifferingOnlyInTheLowBitsAlsoOpenAbout) {
    int aboutBoxes = 0;
    run([&](MainDialog&, HWND dlg) {
        for (WPARAM id : {WPARAM(0x10), WPARAM(0x13), WPARAM(0x1F)}) {
            headless.queue([&](HWND box) {
                if (headless.record(box)->id == IDD_ABOUTBOX) {
                    ++aboutBoxes;
                }
                headless.pressEscape(box);
            });
            SendMessage(dlg, WM_SYSCOMMAND, id, 0);
        }
        // Other system commands keep their usual meaning: this one minimises.
        SendMessage(dlg, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        EXPECT_TRUE(headless.isIconic(dlg));
        SendMessage(dlg, WM_SYSCOMMAND, SC_RESTORE, 0);
        headless.click(dlg, IDOK);
    });
    EXPECT_EQ(aboutBoxes, 3);
}

TEST_F(MainDialogTest, EnterEscapeAndTheCloseBoxEndTheWindow) {
    EXPECT_EQ(run([&](MainDialog&, HWND dlg) { headless.pressEnter(dlg); }), IDOK);
    EXPECT_EQ(run([&](MainDialog&, HWND dlg) { headless.pressEscape(dlg); }), IDCANCEL);
    EXPECT_EQ(run([&](MainDialog&, HWND dlg) { headless.closeBox(dlg); }), IDCANCEL);
}

TEST_F(MainDialogTest, EnterPressesTheFocusedPushButton) {
    run([&](MainDialog& dialog, HWND dlg) {
        headless.dropFiles(dlg, {writeFile("a.txt", "abc")}); // any row
        headless.focusControl(dlg, IDC_CLEAR_LIST);
        headless.pressEnter(dlg);
        EXPECT_TRUE(IsWindow(dlg)) << "Enter pressed Clear List, not OK";
        EXPECT_EQ(dialog.report.resultList.GetItemCount(), 0);
        headless.click(dlg, IDOK);
    });
}

TEST_F(MainDialogTest, MinimisedWindowPaintsTheIconCentred) {
    run([&](MainDialog& dialog, HWND dlg) {
        headless.minimize(dlg, 36, 36);
        headless.paint(dlg);
        ASSERT_EQ(headless.paintedIcons().size(), 1u);
        EXPECT_EQ(headless.paintedIcons()[0].x, 2);
        EXPECT_EQ(headless.paintedIcons()[0].y, 2);
        EXPECT_EQ(headless.paintedIcons()[0].icon, dialog.appIcon);
        EXPECT_EQ(headless.dragMinimized(dlg), dialog.appIcon);
        headless.restore(dlg);
        headless.paint(dlg);
        EXPECT_EQ(headless.paintedIcons().size(), 1u) << "a restored window paints no icon";
    });
}

TEST_F(MainDialogTest, ClosingWritesNoProfile) {
    const std::filesystem::path config = scratch / "config";
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    CWinApp app("digestor"); // where a placement would go, if anything were saved
    run([&](MainDialog&, HWND dlg) {
        MoveWindow(dlg, 10, 10, 700, 500, TRUE);
        headless.click(dlg, IDOK);
    });
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_FALSE(std::filesystem::exists(config));
}
