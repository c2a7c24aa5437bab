// The result list and report text as a unit, on a plain dialog holding a report list.

#include <sys/stat.h>

#include "platform/data_exchange.h"
#include "platform/dialog.h"
#include "platform/resources.h"
#include "res/resource.h"
#include "tests/support/make_template.h"
#include "tests/ui/ui_test_support.h"
#include "ui/result_report.h"

namespace {

constexpr int REPORT_DIALOG = 700;

Digest digestOf(std::uint8_t first) {
    Digest d{};
    for (std::size_t i = 0; i < d.size(); ++i) {
        d[i] = std::uint8_t(first + i);
    }
    return d;
}

class ReportDialog : public CDialog {
public:
    ReportDialog() : CDialog(REPORT_DIALOG), report(*this) {}
    ResultReport report;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, IDC_RESULT_LIST, report.resultList);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        report.setUpList();
        return TRUE;
    }
};

class ResultReportTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        Resources::addDialog(makeTemplate(
            REPORT_DIALOG,
            {{IDC_RESULT_LIST, ControlKind::ListView, "", 5, 5, 290, 150, LVS_REPORT, 0}},
            {.cx = 300, .cy = 160, .resizable = false}));
    }

    /// Runs the dialog; body gets the dialog while its window is open.
    template <typename F> void withDialog(F body) {
        ReportDialog dialog;
        headless.queue([&](HWND dlg) { body(dialog, dlg); });
        dialog.DoModal();
    }

    const HeadlessListView& listOf(HWND dlg) {
        return headless.record(GetDlgItem(dlg, IDC_RESULT_LIST))->list;
    }
};

} // namespace

TEST_F(ResultReportTest, ListHasANameFiveColumnsAndTheStatusImages) {
    withDialog([&](ReportDialog& dialog, HWND dlg) {
        EXPECT_EQ(headless.record(GetDlgItem(dlg, IDC_RESULT_LIST))->accessibleName, "Results");
        const auto& columns = listOf(dlg).columns();
        ASSERT_EQ(columns.size(), 5u);
        EXPECT_EQ(columns[0].heading, "Filename");
        EXPECT_EQ(columns[1].heading, "File Checksum");
        EXPECT_EQ(columns[2].heading, "Actual Checksum");
        EXPECT_EQ(columns[3].heading, "Algorithm");
        EXPECT_EQ(columns[4].heading, "Status");
        EXPECT_EQ(listOf(dlg).columnOrder(), (std::vector<int>{0, 4, 3, 1, 2}));
        EXPECT_EQ(columns[0].width, 200);
        EXPECT_EQ(columns[1].width, 225);
        EXPECT_EQ(columns[2].width, 225);
        for (const auto& c : columns) {
            EXPECT_EQ(c.alignment, ColumnAlignment::Left);
        }
        EXPECT_EQ(dialog.report.statusImages.GetImageCount(), 7);
        EXPECT_EQ(listOf(dlg).imageList(ImageListKind::Small),
                  dialog.report.statusImages.GetSafeHandle());
    });
}

TEST_F(ResultReportTest, NewestRowOnTopWhileTheReportKeepsOrder) {
    withDialog([&](ReportDialog& dialog, HWND dlg) {
        const Digest a = digestOf(0x00), b = digestOf(0xA0), c = digestOf(0xF0);
        dialog.report.addResult("first", &a, &a, STATUS_OK);
        dialog.report.addResult("second", &b, &c, STATUS_FAILED);
        dialog.report.addResult("third", &c, nullptr, STATUS_UNREADABLE);

        const HeadlessListView& list = listOf(dlg);
        ASSERT_EQ(list.itemCount(), 3);
        EXPECT_EQ(list.itemText(0, 0), "third");
        EXPECT_EQ(list.itemText(1, 0), "second");
        EXPECT_EQ(list.itemText(2, 0), "first");
        EXPECT_EQ(list.itemImage(0), STATUS_UNREADABLE);
        EXPECT_EQ(list.itemImage(1), STATUS_FAILED);
        EXPECT_EQ(list.itemImage(2), STATUS_OK);
        EXPECT_EQ(list.itemText(1, 1), "a0a1a2a3a4a5a6a7a8a9aaabacadaeaf");
        EXPECT_EQ(list.itemText(1, 2), "f0f1f2f3f4f5f6f7f8f9fafbfcfdfeff");
        EXPECT_EQ(list.itemText(0, 2), "") << "no actual digest: the column stays empty";

        // The report always carries the expected digest and " *", oldest line first.
        EXPECT_EQ(dialog.report.reportText, "000102030405060708090a0b0c0d0e0f *first\r\n"
                                            "a0a1a2a3a4a5a6a7a8a9aaabacadaeaf *second\r\n"
                                            "f0f1f2f3f4f5f6f7f8f9fafbfcfdfeff *third\r\n");
    });
}

TEST_F(ResultReportTest, AResultWithoutExpectedDigestGetsARowButNoReportLine) {
    withDialog([&](ReportDialog& dialog, HWND dlg) {
        dialog.report.addResult("folder", nullptr, nullptr, STATUS_FAILED);
        EXPECT_EQ(listOf(dlg).itemCount(), 1);
        EXPECT_EQ(listOf(dlg).itemText(0, 1), "");
        EXPECT_EQ(dialog.report.reportText, "");
    });
}

TEST_F(ResultReportTest, ClearListKeepsTheReportButClearResultsEmptiesBoth) {
    withDialog([&](ReportDialog& dialog, HWND dlg) {
        const Digest a = digestOf(1);
        dialog.report.addResult("kept", &a, &a, STATUS_OK);
        dialog.report.OnClearList();
        EXPECT_EQ(listOf(dlg).itemCount(), 0);
        EXPECT_EQ(dialog.report.reportText, "0102030405060708090a0b0c0d0e0f10 *kept\r\n");

        dialog.report.OnToClipboard();
        EXPECT_EQ(headless.clipboard().text(), "0102030405060708090a0b0c0d0e0f10 *kept\r\n");

        dialog.report.addResult("gone", &a, &a, STATUS_OK);
        dialog.report.clearResults();
        EXPECT_EQ(listOf(dlg).itemCount(), 0);
        EXPECT_EQ(dialog.report.reportText, "");
    });
}

TEST_F(ResultReportTest, ClipboardGetsTheExactBytes) {
    withDialog([&](ReportDialog& dialog, HWND dlg) {
        const Digest a = digestOf(0x10);
        dialog.report.addResult("caf\xC3\xA9 \xFF.bin", &a, &a, STATUS_OK);
        dialog.report.OnToClipboard();
        EXPECT_TRUE(headless.clipboard().hasText());
        EXPECT_EQ(headless.clipboard().owner(), dlg);
        EXPECT_EQ(headless.clipboard().text(),
                  "101112131415161718191a1b1c1d1e1f *caf\xC3\xA9 \xFF.bin\r\n");
    });
}

TEST_F(ResultReportTest, EmptyReportEmptiesTheClipboard) {
    withDialog([&](ReportDialog& dialog, HWND) {
        headless.clipboard().putText("something older");
        dialog.report.OnToClipboard();
        EXPECT_TRUE(headless.clipboard().hasText());
        EXPECT_EQ(headless.clipboard().text(), "");
    });
}

TEST_F(ResultReportTest, AClipboardThatCannotBeOpenedKeepsItsContent) {
    withDialog([&](ReportDialog& dialog, HWND) {
        const Digest a = digestOf(0);
        dialog.report.addResult("x", &a, &a, STATUS_OK);
        headless.clipboard().putText("older");
        headless.clipboard().setFailing(true);
        dialog.report.OnToClipboard();
        EXPECT_EQ(headless.clipboard().text(), "older");
        EXPECT_TRUE(headless.messageBoxes().empty());
    });
}

TEST_F(ResultReportTest, SaveWritesTheReportBytesUnchanged) {
    const std::string path = (scratch / "report.md5").string();
    headless.answerSave(path);
    withDialog([&](ReportDialog& dialog, HWND) {
        const Digest a = digestOf(0), b = digestOf(0x20);
        dialog.report.addResult("one", &a, &a, STATUS_OK);
        dialog.report.addResult("two", &b, &b, STATUS_OK);
        dialog.report.OnSaveAs();
    });
    EXPECT_EQ(readFile(path), "000102030405060708090a0b0c0d0e0f *one\r\n"
                              "202122232425262728292a2b2c2d2e2f *two\r\n");
    ASSERT_EQ(headless.saveDialogs().size(), 1u);
    EXPECT_EQ(headless.saveDialogs()[0].prompt, OverwritePrompt::Ask);
    EXPECT_TRUE(headless.messageBoxes().empty());
}

TEST_F(ResultReportTest, SavingAnEmptyReportTruncatesTheFile) {
    const std::string path = writeFile("old.md5", "stale content\n");
    headless.answerSave(path);
    withDialog([&](ReportDialog& dialog, HWND) { dialog.report.OnSaveAs(); });
    EXPECT_EQ(readFile(path), "");
}

TEST_F(ResultReportTest, ACancelledSaveWritesNothing) {
    const std::string path = writeFile("keep.md5", "untouched");
    headless.cancelSave();
    withDialog([&](ReportDialog& dialog, HWND) {
        const Digest a = digestOf(0);
        dialog.report.addResult("x", &a, &a, STATUS_OK);
        dialog.report.OnSaveAs();
    });
    EXPECT_EQ(readFile(path), "untouched");
    EXPECT_TRUE(headless.messageBoxes().empty());
}

TEST_F(ResultReportTest, AFailedSaveIsReportedWithTheFileAndTheReason) {
    const std::string path = (scratch / "no-such-folder" / "report.md5").string();
    headless.answerSave(path);
    withDialog([&](ReportDialog& dialog, HWND dlg) {
        dialog.report.OnSaveAs();
        ASSERT_EQ(headless.messageBoxes().size(), 1u);
        const MessageBoxRecord& box = headless.messageBoxes()[0];
        EXPECT_EQ(box.owner, dlg);
        EXPECT_NE(box.text.find(path), std::string::npos);
        EXPECT_NE(box.text.find("No such file or directory"), std::string::npos);
        EXPECT_EQ(box.kind, MessageBoxKind::Error);
    });
}

TEST_F(ResultReportTest, SavingOverAFolderIsRefusedAndReported) {
    std::filesystem::create_directories(scratch / "a-folder");
    headless.answerSave((scratch / "a-folder").string());
    withDialog([&](ReportDialog& dialog, HWND) { dialog.report.OnSaveAs(); });
    EXPECT_EQ(headless.messageBoxes().size(), 1u);
    EXPECT_TRUE(std::filesystem::is_directory(scratch / "a-folder"));
}
