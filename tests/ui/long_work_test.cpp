// Long drops on the main window: the strip, Stop, and what a stop keeps.

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

#include "os/folder_walk.h"
#include "res/resource.h"
#include "tests/ui/ui_test_support.h"
#include "ui/main_dialog.h"

namespace {

const std::string BIG(2 << 20, 'b'); // long enough for the strip to show and Stop to be pressed

class LongWorkTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        headless.clock().setStep(100); // time passes as the work looks at the clock
    }

    /// Runs a main dialog; body gets it while its window is open.
    template <typename F> void run(F body) {
        MainDialog dialog(nullptr);
        headless.queue([&](HWND dlg) { body(dialog, dlg); });
        dialog.DoModal();
    }

    /// Presses Stop as soon as it can be pressed.
    void pressStopWhenShown() {
        headless.duringWork([this](HWND dlg) { return headless.click(dlg, IDC_STOP); });
    }

    std::string stripText(HWND dlg) const {
        return headless.windowText(headless.dialogItem(dlg, IDC_STATUS_TEXT));
    }

    /// The strip's outcome without the time the work took, which follows " in ".
    std::string outcome(HWND dlg) const {
        const std::string text = stripText(dlg);
        const std::size_t time = text.rfind(" in ");
        EXPECT_NE(time, std::string::npos) << "long work ends with its time: " << text;
        return text.substr(0, time);
    }

    static std::vector<std::string> names(const MainDialog& dialog) {
        std::vector<std::string> texts;
        for (int i = 0; i < dialog.report.resultList.GetItemCount(); ++i) {
            texts.push_back(dialog.report.resultList.GetItemText(i, 0));
        }
        return texts;
    }
};

using Texts = std::vector<std::string>;

struct StopCase {
    const char* name;
    bool checking;
    int bigAt; ///< where among the three files the large one stands
};

class LongWorkStopTest : public LongWorkTest, public testing::WithParamInterface<StopCase> {};

// A stop keeps the files finished before it, gives the file in progress nothing and opens
// nothing after it, in either mode.
TEST_P(LongWorkStopTest, KeepsWhatFinished) {
    const StopCase& c = GetParam();
    std::vector<std::pair<std::string, std::string>> files = {{"one", "1"}, {"two", "22"}};
    files.insert(files.begin() + c.bigAt, {"big", BIG});
    std::vector<std::string> paths;
    std::string list;
    for (const auto& [name, bytes] : files) {
        paths.push_back(writeFile("w/" + name, bytes));
        // In the list, "one" is listed with a wrong digest: its check writes a message.
        list += (name == "one" ? md5Hex("other") : md5Hex(bytes)) + "  " + name + "\n";
    }
    const std::string listPath = writeFile("w/list.md5", list);

    Texts kept;
    std::string report;
    for (int i = 0; i < c.bigAt; ++i) {
        kept.insert(kept.begin(), files[i].first);
        report += (c.checking && i == 0 ? md5Hex("other") : md5Hex(files[i].second)) + " *" +
                  files[i].first + "\r\n";
    }
    run([&](MainDialog& dialog, HWND dlg) {
        if (!c.checking) {
            headless.click(dlg, IDC_GENERATE);
        }
        pressStopWhenShown();
        testing::internal::CaptureStderr();
        headless.dropFiles(dlg, c.checking ? std::vector<std::string>{listPath} : paths);
        const std::string messages = testing::internal::GetCapturedStderr();
        EXPECT_EQ(names(dialog), kept);
        EXPECT_EQ(dialog.report.reportText, report);
        EXPECT_EQ(messages,
                  c.checking && c.bigAt > 0 ? "md5sum: MD5 check failed for 'one'\n" : "");
        EXPECT_EQ(outcome(dlg), "Stopped after " + std::to_string(c.bigAt) + " of 3 files");
        EXPECT_FALSE(headless.isEnabled(headless.dialogItem(dlg, IDC_STOP)));
        EXPECT_FALSE(headless.record(dlg)->modalEnded) << "Stop leaves the window open";
        headless.click(dlg, IDOK);
    });
}

INSTANTIATE_TEST_SUITE_P(Points, LongWorkStopTest,
                         testing::Values(StopCase{"CheckAtTheFirstFile", true, 0},
                                         StopCase{"CheckInTheMiddle", true, 1},
                                         StopCase{"CheckAtTheLastFile", true, 2},
                                         StopCase{"GenerateAtTheFirstFile", false, 0},
                                         StopCase{"GenerateInTheMiddle", false, 1},
                                         StopCase{"GenerateAtTheLastFile", false, 2}),
                         [](const testing::TestParamInfo<StopCase>& info) {
                             return std::string(info.param.name);
                         });

// Lists in a dropped folder that cannot be opened count among the rows the work sets out to
// make, as the rows they get count among those made.
TEST_F(LongWorkTest, AStopCountsTheListsThatCouldNotBeOpened) {
    writeFile("s/big", BIG);
    writeFile("s/sums.md5", md5Hex(BIG) + "  big\n" + MD5_EMPTY + "  empty\n");
    ASSERT_EQ(::symlink("nowhere", (scratch / "s/dead.md5").c_str()), 0);
    ASSERT_EQ(::mkfifo((scratch / "s/pipe.md5").c_str(), 0600), 0);
    run([&](MainDialog& dialog, HWND dlg) {
        pressStopWhenShown();
        headless.dropFiles(dlg, {(scratch / "s").string()});
        EXPECT_EQ(names(dialog),
                  (Texts{(scratch / "s/pipe.md5").string(), (scratch / "s/dead.md5").string()}));
        EXPECT_EQ(outcome(dlg), "Stopped after 2 of 4 files");
        headless.click(dlg, IDOK);
    });
}

TEST_F(LongWorkTest, EscapeStopsTheWorkAndTheWindowStays) {
    const std::string list = writeFile("e/list.md5", md5Hex(BIG) + "  big\n");
    writeFile("e/big", BIG);
    run([&](MainDialog& dialog, HWND dlg) {
        headless.duringWork([this](HWND d) { return headless.pressEscape(d); });
        headless.dropFiles(dlg, {list});
        EXPECT_EQ(dialog.report.resultList.GetItemCount(), 0);
        EXPECT_EQ(stripText(dlg), "Stopped after 0 of 1 file");
        EXPECT_FALSE(headless.record(dlg)->modalEnded);
        // Idle again, Escape closes the window as ever.
        EXPECT_TRUE(headless.pressEscape(dlg));
        EXPECT_TRUE(headless.record(dlg)->modalEnded);
    });
}

TEST_F(LongWorkTest, TheCloseBoxStopsTheWorkThenClosesTheWindow) {
    writeFile("c/a", "abc");
    writeFile("c/big", BIG);
    const std::string list =
        writeFile("c/list.md5", std::string(MD5_ABC) + "  a\n" + md5Hex(BIG) + "  big\n");
    MainDialog dialog(nullptr);
    bool endedByTheDrop = false;
    headless.queue([&](HWND dlg) {
        headless.duringWork([this](HWND d) { return headless.closeBox(d); });
        headless.dropFiles(dlg, {list});
        endedByTheDrop = headless.record(dlg)->modalEnded;
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(endedByTheDrop);
    EXPECT_EQ(headless.autoCloses(), 0);
    EXPECT_EQ(dialog.report.reportText, std::string(MD5_ABC) + " *a\r\n");
}

// Input other than Stop, Escape and the close box is dropped during the work, and does not
// come back once it is over.
TEST_F(LongWorkTest, OtherInputDuringTheWorkChangesNothing) {
    writeFile("o/a", "abc");
    writeFile("o/big", BIG);
    const std::string list =
        writeFile("o/list.md5", std::string(MD5_ABC) + "  a\n" + md5Hex(BIG) + "  big\n");
    std::vector<bool> taken;
    run([&](MainDialog& dialog, HWND dlg) {
        headless.duringWork([&](HWND d) {
            taken = {headless.click(d, IDC_CLEAR_LIST),
                     headless.click(d, IDC_GENERATE),
                     headless.click(d, IDOK),
                     headless.pressEnter(d),
                     headless.focusControl(d, IDC_SAVE_AS),
                     headless.dropFiles(d, {list})};
            return true;
        });
        headless.dropFiles(dlg, {list});
        EXPECT_EQ(taken, std::vector<bool>(6, false));
        EXPECT_EQ(names(dialog), (Texts{"big", "a"}));
        EXPECT_TRUE(headless.isChecked(headless.dialogItem(dlg, IDC_CHECK_FILES)));
        EXPECT_EQ(outcome(dlg), "2 files checked: 2 OK");
        EXPECT_FALSE(headless.record(dlg)->modalEnded);
        headless.click(dlg, IDOK);
    });
    EXPECT_EQ(headless.drops().size(), 1u);
}

// The window is served all through one large file, and its bar moves forward; the strip counts
// the file in hand among the list's.
TEST_F(LongWorkTest, TheStripShowsHowFarTheWorkIs) {
    const std::vector<std::string> files = {writeFile("p/big", BIG), writeFile("p/a", "abc"),
                                            writeFile("p/b", "abc")};
    std::vector<int> positions;
    std::string text;
    std::string details;
    run([&](MainDialog&, HWND dlg) {
        headless.duringWork([&](HWND d) {
            const HeadlessWindow* bar = headless.record(headless.dialogItem(d, IDC_PROGRESS));
            if (bar->visible) {
                // The text ends before the bar while the bar shows.
                const HeadlessWindow* label =
                    headless.record(headless.dialogItem(d, IDC_STATUS_TEXT));
                EXPECT_EQ(label->rect.right + 5, bar->rect.left);
                positions.push_back(bar->progressPosition);
                text = stripText(d);
                details = headless.windowText(headless.dialogItem(d, IDC_PROGRESS_DETAILS));
            }
            return false; // look again at every serving point
        });
        headless.click(dlg, IDC_GENERATE);
        headless.dropFiles(dlg, files);
        EXPECT_EQ(stripText(dlg), "3 checksums generated in 1.7 s, 1.2 MB/s");
        EXPECT_FALSE(headless.isVisible(headless.dialogItem(dlg, IDC_PROGRESS)));
        headless.click(dlg, IDOK);
    });
    EXPECT_GE(headless.serveCalls(), int(BIG.size() / (256 * 1024)));
    ASSERT_GE(positions.size(), 2u);
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
    EXPECT_GT(positions.back(), positions.front());
    EXPECT_EQ(text, "Hashing big (1 of 3)");
    EXPECT_NE(details.find("B/s, "), std::string::npos) << details;
    EXPECT_NE(details.find(" left"), std::string::npos) << details;
}

// Checking a list, whose files' sizes are not known beforehand, the strip tells the time left
// from the part of the entries done.
TEST_F(LongWorkTest, ACheckShowsTheTimeLeftToo) {
    writeFile("c/big", BIG);
    writeFile("c/a", "abc");
    const std::string list =
        writeFile("c/list.md5", md5Hex(BIG) + "  big\n" + MD5_ABC + "  a\n" + MD5_ABC + "  a\n");
    std::string details;
    run([&](MainDialog&, HWND dlg) {
        headless.duringWork([&](HWND d) {
            details = headless.windowText(headless.dialogItem(d, IDC_PROGRESS_DETAILS));
            return false;
        });
        headless.dropFiles(dlg, {list});
        EXPECT_EQ(outcome(dlg), "3 files checked: 3 OK");
        headless.click(dlg, IDOK);
    });
    EXPECT_NE(details.find(" left"), std::string::npos) << details;
}

// Looking for the files of a large folder shows, and a stop there hashes nothing.
TEST_F(LongWorkTest, AStopWhileLookingForFilesHashesNothing) {
    for (int i = 0; i < 3 * FolderWalk::PACE; ++i) {
        writeFile("many/" + std::to_string(i), "x");
    }
    std::string seen;
    headless.duringWork([&](HWND dlg) {
        seen = stripText(dlg);
        return headless.click(dlg, IDC_STOP);
    });
    run([&](MainDialog& dialog, HWND dlg) {
        headless.click(dlg, IDC_GENERATE);
        headless.dropFiles(dlg, {(scratch / "many").string()});
        EXPECT_EQ(seen.rfind("Looking for files in many: ", 0), 0u) << seen;
        EXPECT_TRUE(names(dialog).empty());
        EXPECT_EQ(outcome(dlg), "Stopped after 0 files");
        headless.click(dlg, IDOK);
    });
}

// A quick drop looks as it always did: the strip's progress never shows.
TEST_F(LongWorkTest, AQuickDropNeverShowsTheProgress) {
    headless.clock().setStep(1);
    const std::string a = writeFile("q/a", "abc");
    const std::string gone = (scratch / "q" / "gone").string();
    run([&](MainDialog&, HWND dlg) {
        headless.duringWork([&](HWND d) {
            ADD_FAILURE() << "served events during a quick drop";
            EXPECT_FALSE(headless.isEnabled(headless.dialogItem(d, IDC_STOP)));
            return true;
        });
        headless.click(dlg, IDC_GENERATE);
        headless.dropFiles(dlg, {a, gone});
        EXPECT_EQ(stripText(dlg), "1 checksum generated, 1 file could not be read");
        headless.click(dlg, IDOK);
    });
}

TEST_F(LongWorkTest, TheOutcomeOfACheckCountsEveryKindOfRow) {
    writeFile("k/good", "abc");
    writeFile("k/bad", "abd");
    const std::string list = writeFile("k/list.md5", std::string(MD5_ABC) + "  good\n" + MD5_ABC +
                                                         "  bad\n" + MD5_ABC + "  gone\njunk\n");
    run([&](MainDialog&, HWND dlg) {
        testing::internal::CaptureStderr();
        headless.dropFiles(dlg, {list});
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(stripText(dlg),
                  "3 files checked: 1 OK, 1 FAILED, 1 could not be read; 1 line not understood");
        headless.click(dlg, IDOK);
    });
}

struct TextCase {
    double value;
    const char* text;
};

class RateTextTest : public testing::TestWithParam<TextCase> {};
TEST_P(RateTextTest, UsesDecimalUnits) {
    EXPECT_EQ(rateText(GetParam().value), GetParam().text);
}
INSTANTIATE_TEST_SUITE_P(Rates, RateTextTest,
                         testing::Values(TextCase{0, "0 B/s"}, TextCase{999, "999 B/s"},
                                         TextCase{1000, "1.0 kB/s"}, TextCase{812e6, "812 MB/s"},
                                         TextCase{999.6e6, "1.0 GB/s"},
                                         TextCase{12.4e9, "12 GB/s"}));

class TimeLeftTextTest : public testing::TestWithParam<TextCase> {};
TEST_P(TimeLeftTextTest, RoundsUp) {
    EXPECT_EQ(timeLeftText(GetParam().value), GetParam().text);
}
INSTANTIATE_TEST_SUITE_P(Times, TimeLeftTextTest,
                         testing::Values(TextCase{0, "0 s left"}, TextCase{0.2, "1 s left"},
                                         TextCase{59.5, "1 min left"}, TextCase{61, "2 min left"},
                                         TextCase{3600, "1 h 0 min left"},
                                         TextCase{3900, "1 h 5 min left"}));

} // namespace
