// A drop's work on its worker thread: a stop at every point where the window is served keeps
// exactly what finished before it, and rows reach the window in list order whether the window
// serves in step with the work or on its own time beside it.

#include <chrono>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/ui/ui_test_support.h"
#include "ui/main_dialog.h"

namespace {

using Texts = std::vector<std::string>;

// What the window showed after a drop.
struct Seen {
    Texts names;
    std::string report;
    std::string strip;
    std::string messages;
    int serves = 0;
};

class ThreadedDropTest : public UiTest {
protected:
    // A list of files of several sizes, some of them listed with a wrong digest or missing.
    std::string writeList(int files) {
        std::string list;
        for (int i = 0; i < files; ++i) {
            std::string name = "f";
            name += std::to_string(i);
            const std::string bytes(static_cast<std::size_t>(i % 7 == 3 ? 300000 : i * 13), 'x');
            if (i % 11 != 5) {
                writeFile("t/" + name, bytes);
            }
            list += (i % 5 == 2 ? std::string(32, '0') : md5Hex(bytes)) + "  " + name + "\n";
        }
        return writeFile("t/list.md5", list);
    }

    // Drops paths to check; with stopAt >= 0, Stop is pressed at that serving point.
    Seen drop(const std::vector<std::string>& paths, int stopAt = -1) {
        Seen seen;
        MainDialog dialog(nullptr);
        headless.queue([&](HWND dlg) {
            for (int i = 0; i < stopAt; ++i) {
                headless.duringWork([](HWND) { return true; });
            }
            if (stopAt >= 0) {
                headless.duringWork([this](HWND d) { return headless.click(d, IDC_STOP); });
            }
            const int servesBefore = headless.serveCalls();
            testing::internal::CaptureStderr();
            headless.dropFiles(dlg, paths);
            seen.messages = testing::internal::GetCapturedStderr();
            seen.serves = headless.serveCalls() - servesBefore;
            for (int i = 0; i < dialog.report.resultList.GetItemCount(); ++i) {
                seen.names.push_back(dialog.report.resultList.GetItemText(i, 0));
            }
            seen.report = dialog.report.reportText;
            seen.strip = headless.windowText(headless.dialogItem(dlg, IDC_STATUS_TEXT));
            headless.click(dlg, IDOK);
        });
        dialog.DoModal();
        return seen;
    }
};

TEST_F(ThreadedDropTest, AStopAtEveryServingPointKeepsExactlyWhatFinished) {
    headless.clock().setStep(100); // every look at the clock is a serving point
    const int files = 30;
    const std::string list = writeList(files);
    const Seen whole = drop({list});
    ASSERT_EQ(whole.names.size(), std::size_t(files));
    ASSERT_GT(whole.serves, 3);
    std::size_t previous = 0;
    bool stoppedPartWay = false;
    for (int point = 0; point < whole.serves; ++point) {
        const Seen stopped = drop({list}, point);
        const std::size_t kept = stopped.names.size();
        SCOPED_TRACE(testing::Message() << "stopped at serving point " << point);
        EXPECT_GE(kept, previous) << "a later stop keeps no less";
        ASSERT_LT(kept, std::size_t(files)) << "the stop was not heeded";
        // The rows kept are the oldest of the whole drop (newest on top), their report lines
        // its first, and the strip counts them.
        EXPECT_EQ(stopped.names, Texts(whole.names.end() - long(kept), whole.names.end()));
        std::size_t end = 0;
        for (std::size_t line = 0; line < kept; ++line) {
            end = whole.report.find('\n', end) + 1;
        }
        EXPECT_EQ(stopped.report, whole.report.substr(0, end));
        std::string strip = "Stopped after ";
        strip += std::to_string(kept);
        strip += " of 30 files";
        EXPECT_EQ(stopped.strip.substr(0, strip.size()), strip);
        stoppedPartWay = stoppedPartWay || (kept > 0 && kept < std::size_t(files));
        previous = kept;
    }
    EXPECT_TRUE(stoppedPartWay);
}

TEST_F(ThreadedDropTest, RowsComeInListOrderWhenTheWindowServesBesideTheWork) {
    const std::string list = writeList(2000);
    const Seen inStep = drop({list});
    headless.setServesInStep(false);
    const Seen beside = drop({list, list});
    ASSERT_EQ(inStep.names.size(), 2000u);
    Texts twice = inStep.names;
    twice.insert(twice.begin(), inStep.names.begin(), inStep.names.end());
    EXPECT_EQ(beside.names, twice);
    EXPECT_EQ(beside.report, inStep.report + inStep.report);
    EXPECT_EQ(beside.messages.size(), 2 * inStep.messages.size());
    // Of 2,000 files, 182 are missing and 364 more listed wrong, in each list.
    EXPECT_EQ(beside.strip,
              "2 lists, 4,000 files checked: 2,908 OK, 728 FAILED, 364 could not be read");
}

// Served on its own time, the window takes what the work made a few milliseconds at a time; once
// the work has ended it goes on taking, between its events, until nothing is left.
TEST_F(ThreadedDropTest, DeliveryGoesOnAfterTheWorkUntilNothingIsLeft) {
    headless.setServesInStep(false);
    MainDialog dialog(nullptr);
    int calls = 0;
    bool lastDone = false;
    headless.queue([&](HWND dlg) {
        dialog.work.begin(true);
        dialog.work.runOnWorker([] {},
                                [&](std::chrono::steady_clock::time_point) {
                                    lastDone = ++calls >= 4;
                                    return lastDone;
                                });
        dialog.work.end();
        headless.click(dlg, IDOK);
    });
    dialog.DoModal();
    EXPECT_TRUE(lastDone);
    EXPECT_GE(calls, 4);
}

} // namespace
