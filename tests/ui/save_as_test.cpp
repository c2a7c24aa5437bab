// Save As: a name and kinds of file after the report's algorithm, and the results table.

#include "res/resource.h"
#include "tests/ui/ui_test_support.h"
#include "ui/main_dialog.h"

namespace {

class SaveAsTest : public UiTest {
protected:
    /// Hashes files in "Generate Checksums" with the algorithm at index algorithm of the
    /// drop-down, then clicks Save As.
    void generateAndSave(const std::vector<std::string>& files, int algorithm) {
        MainDialog dialog(nullptr);
        headless.queue([&](HWND dlg) {
            headless.click(dlg, IDC_GENERATE);
            headless.chooseComboItem(dlg, IDC_ALGORITHM, algorithm);
            headless.dropFiles(dlg, files);
            headless.click(dlg, IDC_SAVE_AS);
            headless.click(dlg, IDOK);
        });
        dialog.DoModal();
    }
};

struct NameCase {
    int algorithm; // index in the drop-down
    const char* name;
    const char* listType;
};

class SuggestedNameTest : public SaveAsTest, public testing::WithParamInterface<NameCase> {};

TEST_P(SuggestedNameTest, TheNameAndTheFirstKindFollowTheAlgorithm) {
    headless.cancelSave();
    generateAndSave({writeFile("a", "abc")}, GetParam().algorithm);
    ASSERT_EQ(headless.saveDialogs().size(), 1u);
    const SaveChoices& offered = headless.saveDialogs()[0].offered;
    EXPECT_EQ(offered.fileName, GetParam().name);
    ASSERT_EQ(offered.types.size(), 3u);
    EXPECT_EQ(offered.types[0].title, GetParam().listType);
    EXPECT_EQ(offered.types[0].patterns.back(), GetParam().name);
    EXPECT_EQ(offered.types[1].patterns, std::vector<std::string>{"*.csv"});
}

INSTANTIATE_TEST_SUITE_P(
    Algorithms, SuggestedNameTest,
    testing::Values(NameCase{0, "MD5SUMS", "MD5 checksum list (*.md5;MD5SUMS)"},
                    NameCase{3, "SHA256SUMS", "SHA-256 checksum list (*.sha256;SHA256SUMS)"},
                    NameCase{6, "B2SUMS", "BLAKE2b checksum list (*.b2;B2SUMS)"}));

// Every row goes into the table, the one not read with its reason; names holding a comma, a
// quote or a line feed are quoted, quotes doubled.
TEST_F(SaveAsTest, TheResultsTableHoldsEveryRowQuotedAsRfc4180Says) {
    const std::string table = (scratch / "results.csv").string();
    headless.answerSave(table, 1);
    generateAndSave({writeFile("a,b.txt", ""), writeFile("say \"hi\".txt", ""),
                     writeFile("line\nfeed", ""), (scratch / "gone").string()},
                    3);
    const std::string empty = SHA256_EMPTY;
    EXPECT_EQ(readFile(table), "Filename,Status,Reason,Algorithm,File Checksum,Actual Checksum\r\n"
                               "gone,FAILED,No such file,,,\r\n"
                               "\"line\nfeed\",OK,,SHA-256," +
                                   empty + "," + empty +
                                   "\r\n"
                                   "\"say \"\"hi\"\".txt\",OK,,SHA-256," +
                                   empty + "," + empty +
                                   "\r\n"
                                   "\"a,b.txt\",OK,,SHA-256," +
                                   empty + "," + empty + "\r\n");
}

} // namespace
