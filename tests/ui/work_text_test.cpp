// The outcome of a drop in words, as the status strip shows it.

#include "ui/work_text.h"

#include <gtest/gtest.h>

namespace {

struct OutcomeCase {
    const char* name;
    DropTally tally;
    const char* text;
};

std::ostream& operator<<(std::ostream& out, const OutcomeCase& c) {
    return out << c.name;
}

class OutcomeTextTest : public testing::TestWithParam<OutcomeCase> {};

TEST_P(OutcomeTextTest, SaysWhatCameOfTheDrop) {
    EXPECT_EQ(outcomeText(GetParam().tally), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Tallies, OutcomeTextTest,
    testing::Values(
        OutcomeCase{"Generated",
                    {.ok = 3, .unreadable = 2},
                    "3 checksums generated, 2 folders could not be read"},
        OutcomeCase{
            "NothingGenerated", {.failed = 1}, "No checksums generated, 1 file could not be read"},
        OutcomeCase{"GeneratedGrouped",
                    {.ok = 100000, .failed = 1200},
                    "100,000 checksums generated, 1,200 files could not be read"},
        OutcomeCase{"CheckedGrouped",
                    {.checking = true, .ok = 100000, .failed = 1234, .lists = 2},
                    "2 lists, 101,234 files checked: 100,000 OK, 1,234 FAILED"},
        OutcomeCase{"NothingChecked", {.checking = true, .lists = 1}, "No files checked"},
        OutcomeCase{"ListsNotOpened",
                    {.checking = true, .ok = 1, .lists = 1, .listsNotOpened = 2},
                    "1 file checked: 1 OK; 2 lists could not be opened"},
        OutcomeCase{"OnlyAListNotOpened",
                    {.checking = true, .listsNotOpened = 1},
                    "1 list could not be opened"},
        OutcomeCase{"EmptyListAndAListNotOpened",
                    {.checking = true, .lists = 1, .listsNotOpened = 1},
                    "No files checked; 1 list could not be opened"},
        OutcomeCase{"FolderNotRead",
                    {.checking = true, .foldersNotRead = {"lk"}},
                    "Folder lk could not be read"},
        OutcomeCase{"EveryClause",
                    {.checking = true,
                     .ok = 1,
                     .unreadable = 1,
                     .lists = 1,
                     .notUnderstood = 1,
                     .foldersWithoutList = {"empty"},
                     .foldersNotRead = {"lk"}},
                    "2 files checked: 1 OK, 1 could not be read; 1 line not understood; no "
                    "checksum list in empty; folder lk could not be read"},
        OutcomeCase{"OnlyFoldersWithoutLists",
                    {.checking = true, .foldersWithoutList = {"empty"}, .foldersNotRead = {"lk"}},
                    "No checksum list in empty; folder lk could not be read"},
        OutcomeCase{"StoppedCountingListsNotOpened",
                    {.checking = true, .ok = 1, .total = 4, .stopped = true, .listsNotOpened = 2},
                    "Stopped after 3 of 4 files"},
        OutcomeCase{"StoppedGrouped",
                    {.ok = 1000, .total = 12000, .stopped = true},
                    "Stopped after 1,000 of 12,000 files"},
        OutcomeCase{"StoppedBeforeTheTotal", {.ok = 1, .stopped = true}, "Stopped after 1 file"}),
    [](const testing::TestParamInfo<OutcomeCase>& info) { return std::string(info.param.name); });

} // namespace
