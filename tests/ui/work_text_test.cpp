// The outcome of a drop in words, as the status strip shows it.

#include "ui/work_text.h"

#include <gtest/gtest.h>

#include "engine/pasted_checksum.h"

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
        OutcomeCase{"StoppedBeforeTheTotal", {.ok = 1, .stopped = true}, "Stopped after 1 file"},
        OutcomeCase{"LongWorkEndsWithItsTimeAndRate",
                    {.checking = true, .ok = 2, .lists = 1, .seconds = 12.44, .bytes = 5125000000},
                    "2 files checked: 2 OK in 12.4 s, 412 MB/s"},
        OutcomeCase{"LongWorkWithoutBytes",
                    {.ok = 0, .stopped = true, .seconds = 75},
                    "Stopped after 0 files in 1 min 15 s"}),
    [](const testing::TestParamInfo<OutcomeCase>& info) { return std::string(info.param.name); });

struct DurationCase {
    double seconds;
    const char* text;
};

class DurationTextTest : public testing::TestWithParam<DurationCase> {};
TEST_P(DurationTextTest, SaysHowLongSomethingTook) {
    EXPECT_EQ(durationText(GetParam().seconds), GetParam().text);
}
INSTANTIATE_TEST_SUITE_P(Durations, DurationTextTest,
                         testing::Values(DurationCase{0.44, "0.4 s"}, DurationCase{59.9, "59.9 s"},
                                         DurationCase{59.96, "1 min 0 s"},
                                         DurationCase{3599.4, "59 min 59 s"},
                                         DurationCase{7500, "2 h 5 min"}));

TEST(ComparisonTextTest, TheArticleGoesByTheSound) {
    PastedChecksum md5;
    ASSERT_TRUE(parsePastedChecksum("d41d8cd98f00b204e9800998ecf8427e", md5));
    EXPECT_EQ(comparisonText(md5, "", 0, false),
              "No row holds an MD5 checksum: choose MD5 and drop the file again");
}

} // namespace
