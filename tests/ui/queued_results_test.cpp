#include "ui/queued_results.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace {

class NameRecorder : public DropResults {
public:
    void addResult(const char* name, const Digest*, const Digest*, int) override {
        names.push_back(name);
    }
    void clearResults() override { names.push_back("(clear)"); }
    void addNote(const char* name, const std::string&, const std::string&, int) override {
        names.push_back(std::string("note ") + name);
    }
    std::vector<std::string> names;
};

// A delivery out of time hands on a first part only; what it left goes before whatever the work
// queued since, so that the rows keep the work's order across batches.
TEST(QueuedResultsTest, ADeliveryOutOfTimeLeavesTheRestFirstInLine) {
    QueuedResults queue;
    std::vector<std::string> expected;
    for (int i = 0; i < 1000; ++i) {
        expected.push_back(std::to_string(i));
        queue.addResult(expected.back().c_str(), nullptr, nullptr, 1);
    }
    NameRecorder window;
    EXPECT_FALSE(queue.deliverTo(window, std::chrono::steady_clock::now()));
    EXPECT_GT(window.names.size(), 0u);
    EXPECT_LT(window.names.size(), 1000u);

    queue.addNote("later", "", "", 4);
    expected.push_back("note later");
    EXPECT_TRUE(queue.deliverTo(window));
    EXPECT_EQ(window.names, expected);
    EXPECT_TRUE(queue.deliverTo(window, std::chrono::steady_clock::now()));
    EXPECT_EQ(window.names.size(), expected.size());
}

} // namespace
