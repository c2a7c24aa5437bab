// Comparing a pasted checksum with the rows, and the algorithm of new checksums.

#include "platform/win_app.h"
#include "res/resource.h"
#include "tests/ui/ui_test_support.h"
#include "ui/main_dialog.h"

namespace {

std::string upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

struct PasteCase {
    const char* name;
    std::string clipboard;
    std::string strip;
    std::vector<int> selected; // list rows, top first
};

std::ostream& operator<<(std::ostream& out, const PasteCase& c) {
    return out << c.name;
}

class CompareTest : public UiTest, public testing::WithParamInterface<PasteCase> {};

// The rows, top first: c.txt (empty), b.iso ("abc") and a.iso ("abc"), hashed with MD5.
TEST_P(CompareTest, SelectsTheRowsThatHoldThePastedChecksum) {
    const PasteCase& c = GetParam();
    const std::vector<std::string> files = {writeFile("a.iso", "abc"), writeFile("b.iso", "abc"),
                                            writeFile("c.txt", "")};
    MainDialog dialog(nullptr);
    headless.queue([&](HWND dlg) {
        headless.click(dlg, IDC_GENERATE);
        headless.dropFiles(dlg, files);
        headless.clipboard().putText(c.clipboard);
        EXPECT_TRUE(headless.chooseSystemMenu(dlg, "Compare with Clipboard"));
        const HWND list = headless.dialogItem(dlg, IDC_RESULT_LIST);
        EXPECT_EQ(headless.selectedItems(list), c.selected);
        if (!c.selected.empty()) {
            EXPECT_EQ(headless.lastVisibleItem(list), c.selected.front());
        }
        EXPECT_EQ(headless.windowText(headless.dialogItem(dlg, IDC_STATUS_TEXT)), c.strip);
        // Ctrl+V does the same.
        headless.clipboard().putText("nothing");
        EXPECT_TRUE(headless.pressPaste(dlg));
        EXPECT_EQ(headless.windowText(headless.dialogItem(dlg, IDC_STATUS_TEXT)),
                  "The clipboard holds no checksum");
        headless.click(dlg, IDOK);
    });
    dialog.DoModal();
}

INSTANTIATE_TEST_SUITE_P(
    Forms, CompareTest,
    testing::Values(
        PasteCase{"SeveralMatches", MD5_ABC, "Matches b.iso and 1 more", {1, 2}},
        PasteCase{"PrefixAndUppercase", "  MD5: " + upper(MD5_EMPTY) + "\n", "Matches c.txt", {0}},
        PasteCase{"ListLine", std::string(MD5_EMPTY) + "  c.txt", "Matches c.txt", {0}},
        PasteCase{
            "NoMatch", "d41d8cd98f00b204e9800998ecf8427f", "No row matches this MD5 checksum", {}},
        PasteCase{"AnotherAlgorithm",
                  "sha256=" + std::string(SHA256_EMPTY),
                  "No row holds a SHA-256 checksum: choose SHA-256 and drop the file again",
                  {}},
        PasteCase{"ShortBlake2bAlgorithmNotChosen",
                  "BLAKE2b-256 (a) = " + std::string(SHA256_EMPTY),
                  "No row matches this BLAKE2b-256 checksum",
                  {}},
        PasteCase{"NoChecksum", "hello", "The clipboard holds no checksum", {}}),
    [](const testing::TestParamInfo<PasteCase>& info) { return std::string(info.param.name); });

using UnreadRowTest = UiTest;

// A file whose reading fails (the process's memory, at the unmapped address 0) has no checksum,
// whatever was read of it before the error: checked against a list that names the empty
// input's MD5, or hashed, its row shows none and the pasted empty input's MD5 never matches it.
TEST_F(UnreadRowTest, ARowThatCouldNotBeReadNeverMatches) {
    writeFile("a", "abc");
    const std::string list =
        writeFile("mem.md5", std::string(MD5_EMPTY) + "  /proc/self/mem\n" + MD5_ABC + "  a\n");
    MainDialog dialog(nullptr);
    headless.queue([&](HWND dlg) {
        testing::internal::CaptureStderr();
        headless.dropFiles(dlg, {list});
        headless.click(dlg, IDC_GENERATE);
        headless.dropFiles(dlg, {"/proc/self/mem"});
        testing::internal::GetCapturedStderr();
        const std::vector<int> images = {dialog.report.resultList.GetItemImage(0),
                                         dialog.report.resultList.GetItemImage(2)};
        EXPECT_EQ(images, (std::vector<int>{STATUS_FAILED, STATUS_UNREADABLE}));
        EXPECT_EQ(dialog.report.resultList.GetItemText(0, 2), "");
        EXPECT_EQ(dialog.report.resultList.GetItemText(2, 2), "");
        headless.clipboard().putText(MD5_EMPTY);
        EXPECT_TRUE(headless.pressPaste(dlg));
        EXPECT_TRUE(headless.selectedItems(headless.dialogItem(dlg, IDC_RESULT_LIST)).empty());
        EXPECT_EQ(headless.windowText(headless.dialogItem(dlg, IDC_STATUS_TEXT)),
                  "No row matches this MD5 checksum");
        headless.click(dlg, IDOK);
    });
    dialog.DoModal();
}

using AlgorithmTest = UiTest;

// The drop-down list chooses the algorithm of new checksums; the digest columns widen to fit
// it; the choice is remembered for the next run.
TEST_F(AlgorithmTest, TheChoiceMakesTheChecksumsAndIsRemembered) {
    ::setenv("XDG_CONFIG_HOME", (scratch / "config").c_str(), 1);
    const std::string empty = writeFile("empty", "");
    CWinApp app("digestor");
    int widthBefore = 0;
    {
        MainDialog dialog(nullptr);
        headless.queue([&](HWND dlg) {
            const HWND list = headless.dialogItem(dlg, IDC_RESULT_LIST);
            EXPECT_EQ(headless.record(headless.dialogItem(dlg, IDC_ALGORITHM))->accessibleName,
                      "Algorithm");
            widthBefore = headless.columnWidth(list, 1);
            headless.click(dlg, IDC_GENERATE);
            EXPECT_TRUE(headless.chooseComboItem(dlg, IDC_ALGORITHM, 5)); // SHA-512
            headless.dropFiles(dlg, {empty});
            EXPECT_EQ(dialog.report.resultList.GetItemText(0, 1).size(), 128u);
            EXPECT_GT(headless.columnWidth(list, 1), widthBefore);
            headless.click(dlg, IDOK);
        });
        dialog.DoModal();
    }
    MainDialog again(nullptr);
    headless.queue([&](HWND dlg) {
        EXPECT_EQ(again.algorithmBox.GetCurSel(), 5);
        headless.click(dlg, IDOK);
    });
    again.DoModal();
    ::unsetenv("XDG_CONFIG_HOME");
}

} // namespace
