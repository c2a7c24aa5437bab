// Finding the problems among the rows: reasons in words, sorting by a column, showing problems
// only, and going from one problem to the next.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "res/resource.h"
#include "tests/ui/ui_test_support.h"
#include "ui/main_dialog.h"

namespace {

class ProblemsFirstTest : public UiTest {
protected:
    /// Drops a list, in "Check Files", whose entries give, in list order: OK "a.txt", FAILED
    /// "B.txt", unreadable "c.txt" (missing), OK "d.txt", FAILED "e.txt". Newest on top, the rows
    /// read e, d, c, B, a.
    void dropMixedList(HWND dlg) {
        writeFile("a.txt", "abc");
        writeFile("B.txt", "abd");
        writeFile("d.txt", "abc");
        writeFile("e.txt", "");
        const std::string list = writeFile(
            "mixed.md5", std::string(MD5_ABC) + "  a.txt\n" + MD5_ABC + "  B.txt\n" + MD5_ABC +
                             "  c.txt\n" + MD5_ABC + "  d.txt\n" + MD5_ABC + "  e.txt\n");
        headless.dropFiles(dlg, {list});
    }

    std::vector<std::string> names(HWND dlg) {
        const HWND list = headless.dialogItem(dlg, IDC_RESULT_LIST);
        std::vector<std::string> shown;
        for (int row = 0; row < headless.record(list)->list.itemCount(); ++row) {
            shown.push_back(headless.record(list)->list.itemText(row, 0));
        }
        return shown;
    }

    std::string strip(HWND dlg) {
        return headless.windowText(headless.dialogItem(dlg, IDC_STATUS_TEXT));
    }

    template <typename F> void run(F body) {
        MainDialog dialog(nullptr);
        headless.queue([&](HWND dlg) {
            body(dialog, dlg);
            headless.click(dlg, IDOK);
        });
        dialog.DoModal();
    }
};

using Names = std::vector<std::string>;

} // namespace

TEST_F(ProblemsFirstTest, StatusHeaderSortsFailedThenUnreadableThenOkAndCyclesBack) {
    run([&](MainDialog&, HWND dlg) {
        dropMixedList(dlg);
        EXPECT_EQ(names(dlg), (Names{"e.txt", "d.txt", "c.txt", "B.txt", "a.txt"}));
        const HeadlessListView& list =
            headless.record(headless.dialogItem(dlg, IDC_RESULT_LIST))->list;

        ASSERT_TRUE(headless.clickColumnHeader(dlg, IDC_RESULT_LIST, COLUMN_STATUS));
        // Ties keep newest first.
        EXPECT_EQ(names(dlg), (Names{"e.txt", "B.txt", "c.txt", "d.txt", "a.txt"}));
        EXPECT_EQ(list.sortColumn(), COLUMN_STATUS);
        EXPECT_EQ(list.sortDirection(), SortDirection::Ascending);
        EXPECT_EQ(list.itemText(0, COLUMN_STATUS), "FAILED");
        EXPECT_EQ(list.itemText(2, COLUMN_STATUS), "No such file");
        EXPECT_EQ(list.itemText(4, COLUMN_ALGORITHM), "MD5");

        headless.clickColumnHeader(dlg, IDC_RESULT_LIST, COLUMN_STATUS);
        EXPECT_EQ(names(dlg), (Names{"d.txt", "a.txt", "c.txt", "e.txt", "B.txt"}));
        EXPECT_EQ(list.sortDirection(), SortDirection::Descending);

        headless.clickColumnHeader(dlg, IDC_RESULT_LIST, COLUMN_STATUS);
        EXPECT_EQ(names(dlg), (Names{"e.txt", "d.txt", "c.txt", "B.txt", "a.txt"}));
        EXPECT_EQ(list.sortColumn(), -1);

        // Names sort with letter case aside.
        headless.clickColumnHeader(dlg, IDC_RESULT_LIST, COLUMN_NAME);
        EXPECT_EQ(names(dlg), (Names{"a.txt", "B.txt", "c.txt", "d.txt", "e.txt"}));
    });
}

TEST_F(ProblemsFirstTest, ASortedListTakesTheRowsOfTheNextDropInItsOrder) {
    run([&](MainDialog&, HWND dlg) {
        headless.clickColumnHeader(dlg, IDC_RESULT_LIST, COLUMN_STATUS);
        dropMixedList(dlg);
        EXPECT_EQ(names(dlg), (Names{"e.txt", "B.txt", "c.txt", "d.txt", "a.txt"}));
    });
}

TEST_F(ProblemsFirstTest, AfterADropTheFirstProblemIsScrolledIntoView) {
    run([&](MainDialog&, HWND dlg) {
        writeFile("ok.txt", "abc");
        writeFile("bad.txt", "abd");
        std::string entries = std::string(MD5_ABC) + "  bad.txt\n";
        for (int i = 0; i < 30; ++i) {
            entries += std::string(MD5_ABC) + "  ok.txt\n";
        }
        headless.dropFiles(dlg, {writeFile("many.md5", entries)});
        EXPECT_EQ(headless.lastVisibleItem(headless.dialogItem(dlg, IDC_RESULT_LIST)), 30);
    });
}

TEST_F(ProblemsFirstTest, ShowProblemsOnlyHidesTheOkRowsUntilToggledBack) {
    run([&](MainDialog&, HWND dlg) {
        dropMixedList(dlg);
        ASSERT_TRUE(headless.pressKeys(dlg, "Ctrl+P"));
        EXPECT_EQ(names(dlg), (Names{"e.txt", "c.txt", "B.txt"}));
        EXPECT_EQ(strip(dlg), "Showing 3 problems only");
        const auto entries = headless.systemMenuEntries(dlg);
        const auto entry = std::find_if(entries.begin(), entries.end(), [](const MenuEntry& e) {
            return e.id == PROBLEMS_ONLY_COMMAND_ID;
        });
        ASSERT_NE(entry, entries.end());
        EXPECT_TRUE(entry->checked);

        ASSERT_TRUE(headless.chooseSystemMenu(dlg, PROBLEMS_ONLY_COMMAND_ID));
        EXPECT_EQ(names(dlg).size(), 5u);
    });
}

TEST_F(ProblemsFirstTest, F8GoesDownTheProblemsAndWrapsShiftF8GoesUp) {
    run([&](MainDialog&, HWND dlg) {
        dropMixedList(dlg); // e (FAILED), d, c (unreadable), B (FAILED), a
        const HWND list = headless.dialogItem(dlg, IDC_RESULT_LIST);
        const auto selectedAfter = [&](const char* keys) {
            EXPECT_TRUE(headless.pressKeys(dlg, keys));
            return headless.selectedItems(list);
        };
        EXPECT_EQ(selectedAfter("F8"), std::vector<int>{0});
        EXPECT_EQ(strip(dlg), "Problem 1 of 3: e.txt, FAILED");
        EXPECT_EQ(selectedAfter("F8"), std::vector<int>{2});
        EXPECT_EQ(selectedAfter("F8"), std::vector<int>{3});
        EXPECT_EQ(headless.lastVisibleItem(list), 3);
        EXPECT_EQ(selectedAfter("F8"), std::vector<int>{0}) << "wraps round to the top";
        EXPECT_EQ(selectedAfter("Shift+F8"), std::vector<int>{3}) << "and back to the bottom";
        EXPECT_EQ(selectedAfter("Shift+F8"), std::vector<int>{2});
    });
}

TEST_F(ProblemsFirstTest, WithoutProblemsF8SaysSo) {
    run([&](MainDialog&, HWND dlg) {
        headless.dropFiles(dlg, {writeFile("one.md5", std::string(MD5_EMPTY) + "  empty\n")});
        writeFile("empty", "");
        headless.dropFiles(dlg, {(scratch / "one.md5").string()});
        EXPECT_TRUE(headless.pressKeys(dlg, "F8"));
        EXPECT_EQ(strip(dlg), "No problems in the list");
        EXPECT_TRUE(headless.selectedItems(headless.dialogItem(dlg, IDC_RESULT_LIST)).empty());
    });
}

struct ReasonCase {
    const char* name;
    void (*make)(const std::filesystem::path& where);
    const char* reason;
};

std::ostream& operator<<(std::ostream& out, const ReasonCase& c) {
    return out << c.name;
}

class ReasonTest : public ProblemsFirstTest, public testing::WithParamInterface<ReasonCase> {};

// A listed file that cannot be read says why, in its status cell and in its description (the
// tooltip and the screen reader's words).
TEST_P(ReasonTest, AnUnreadableRowSaysWhyInWords) {
    const ReasonCase& c = GetParam();
    if (std::string(c.name) == "Unpermitted" && ::geteuid() == 0) {
        GTEST_SKIP() << "root reads every file";
    }
    c.make(scratch / "target");
    run([&](MainDialog&, HWND dlg) {
        headless.dropFiles(dlg, {writeFile("one.md5", std::string(MD5_ABC) + "  target\n")});
        const HeadlessListView& list =
            headless.record(headless.dialogItem(dlg, IDC_RESULT_LIST))->list;
        ASSERT_EQ(list.itemCount(), 1);
        EXPECT_EQ(list.itemImage(0), STATUS_UNREADABLE);
        EXPECT_EQ(list.itemText(0, COLUMN_STATUS), c.reason);
        EXPECT_EQ(list.itemDescription(0), c.reason);
    });
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ReasonTest,
    testing::Values(
        ReasonCase{"Missing", [](const std::filesystem::path&) {}, "No such file"},
        ReasonCase{"Folder",
                   [](const std::filesystem::path& p) { std::filesystem::create_directory(p); },
                   "Is a folder"},
        ReasonCase{"Fifo", [](const std::filesystem::path& p) { ::mkfifo(p.c_str(), 0600); },
                   "Not a regular file"},
        ReasonCase{"Unpermitted",
                   [](const std::filesystem::path& p) { ::close(::creat(p.c_str(), 0)); },
                   "Permission denied"}),
    [](const testing::TestParamInfo<ReasonCase>& info) { return std::string(info.param.name); });
