// Start-up and shutdown of the application object on the headless window system.

#include "app/checksum_app.h"
#include "platform/wnd.h"
#include "res/resource.h"
#include "tests/ui/ui_test_support.h"
#include "ui/main_dialog.h"

namespace {

class ChecksumAppTest : public UiTest {
protected:
    /// The framework's entry, as the process would run it, for the app constructed last.
    static int start() {
        char name[] = "/usr/bin/digestor";
        char* argv[] = {name, nullptr};
        return AfxWinMain(1, argv);
    }
};

} // namespace

TEST_F(ChecksumAppTest, RunsTheMainWindowModallyAndEndsWhenItCloses) {
    ChecksumApp app;
    HWND seen = nullptr;
    CWnd* mainWindowMeanwhile = nullptr;
    headless.queue([&](HWND dlg) {
        seen = dlg;
        mainWindowMeanwhile = app.m_pMainWnd;
        headless.click(dlg, IDOK);
    });
    EXPECT_EQ(start(), 0);
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(headless.record(seen), nullptr) << "the window is gone";
    EXPECT_NE(mainWindowMeanwhile, nullptr) << "the dialog is the main window while it runs";
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_EQ(app.m_appName, "digestor");
    EXPECT_EQ(headless.modalRuns().size(), 1u);
}

TEST_F(ChecksumAppTest, EveryWayOfClosingEndsTheSameWay) {
    for (int way = 0; way < 3; ++way) {
        ChecksumApp app;
        headless.queue([&](HWND dlg) {
            if (way == 0) {
                headless.click(dlg, IDOK);
            } else if (way == 1) {
                headless.pressEscape(dlg);
            } else {
                headless.closeBox(dlg);
            }
        });
        EXPECT_EQ(start(), 0);
        EXPECT_TRUE(headless.topLevelWindows().empty());
    }
}

TEST_F(ChecksumAppTest, TheHelpCommandIsAcceptedQuietly) {
    ChecksumApp app;
    headless.queue([&](HWND dlg) {
        SendMessage(dlg, WM_COMMAND, MAKEWPARAM(ID_HELP, 0), 0);
        headless.click(dlg, IDOK);
    });
    EXPECT_EQ(start(), 0);
    EXPECT_TRUE(headless.messageBoxes().empty());
}

TEST_F(ChecksumAppTest, ARunCreatesNoProfileFile) {
    const std::filesystem::path config = scratch / "config";
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    ChecksumApp app;
    headless.queue([&](HWND dlg) { headless.closeBox(dlg); });
    start();
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_FALSE(std::filesystem::exists(config));
}

// Files named on the command line: one drop, taken from the modal loop once the window shows.
TEST_F(ChecksumAppTest, StartFilesAreOneDropOnceTheWindowShowsInTheModeAskedFor) {
    writeFile("data", "abc");
    const std::string a = writeFile("a.md5", std::string(MD5_ABC) + "  data\n");
    const std::string b = writeFile("sub/b.md5", std::string(MD5_EMPTY) + "  gone\n");
    for (const bool generate : {false, true}) {
        ChecksumApp app;
        app.startWith({a, b}, generate);
        std::string seen;
        headless.queue([&](HWND dlg) {
            const auto& dialog = *static_cast<MainDialog*>(app.m_pMainWnd);
            seen = std::to_string(IsWindowVisible(dlg)) + std::to_string(dialog.checkMode) +
                   " rows " + std::to_string(dialog.report.resultList.GetItemCount()) + ": " +
                   dialog.report.resultList.GetItemText(0, 0);
            headless.click(dlg, IDOK);
        });
        EXPECT_EQ(start(), 0);
        // Checking: the rows of both lists, the last list's on top. Generating: one row a file,
        // newest on top.
        EXPECT_EQ(seen, generate ? "11 rows 2: b.md5" : "10 rows 2: gone");
    }
    EXPECT_EQ(headless.workBegun(), 2) << "one drop a run";
}

// An algorithm named on the command line is the one new checksums are made with.
TEST_F(ChecksumAppTest, TheAlgorithmAskedForMakesTheChecksums) {
    const std::string empty = writeFile("empty", "");
    ChecksumApp app;
    app.startWith({empty}, true, Algorithm::Sha256);
    std::string report;
    headless.queue([&](HWND dlg) {
        report = static_cast<MainDialog*>(app.m_pMainWnd)->report.reportText;
        headless.click(dlg, IDOK);
    });
    EXPECT_EQ(start(), 0);
    EXPECT_EQ(report, std::string(SHA256_EMPTY) + " *empty\r\n");
}
