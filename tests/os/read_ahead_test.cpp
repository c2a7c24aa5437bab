#include "os/read_ahead.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include "os/file_stream.h"
#include "tests/support/descriptors.h"
#include "tests/support/scratch_folder.h"

namespace {

constexpr std::uint64_t KIB = 1024;

class ReadAheadTest : public testing::Test {
protected:
    // Opens a new file of size bytes as the next one read ahead.
    void open(std::uint64_t size) {
        const std::string path =
            scratch_.write(std::to_string(fds_.size()), std::string(size, 'x'));
        const int fd = openReadDescriptor(path.c_str());
        ASSERT_GE(fd, 0);
        readAhead_.opened(fds_.size(), fd, static_cast<std::int64_t>(size));
        fds_.push_back(fd);
    }
    // Which of the files opened the read-ahead has reached.
    std::vector<bool> reached() const {
        std::vector<bool> result;
        for (std::size_t key = 0; key < fds_.size(); ++key) {
            result.push_back(readAhead_.reached(key));
        }
        return result;
    }
    void TearDown() override {
        for (int fd : fds_) {
            closeDescriptor(fd);
        }
    }

    ScratchFolder scratch_;
    ReadAhead readAhead_;
    std::vector<int> fds_;
};

// In order, the budget goes to the files one after the other, and what is read, or asked for
// and never read, frees its share for the files after.
TEST_F(ReadAheadTest, InOrderTheBudgetMovesOnAsFilesAreRead) {
    ASSERT_TRUE(readAhead_.reset({8, 1024 * KIB, 256 * KIB, true}, 8));
    for (int i = 0; i < 3; ++i) {
        open(600 * KIB);
    }
    readAhead_.advise();
    EXPECT_EQ(reached(), (std::vector<bool>{true, true, false}));
    readAhead_.readTo(0, 100 * KIB);
    readAhead_.advise(); // the second file's rest, and the budget is spent again
    EXPECT_EQ(reached(), (std::vector<bool>{true, true, false}));
    readAhead_.closed(0); // it ended early: what was asked of it and not read is free too
    readAhead_.advise();
    EXPECT_EQ(reached(), (std::vector<bool>{true, true, true}));
}

// Otherwise the start of every file comes first, within the same budget; an empty file has
// nothing to ask for.
TEST_F(ReadAheadTest, FirstTheStartOfEveryFile) {
    ASSERT_TRUE(readAhead_.reset({8, 1024 * KIB, 256 * KIB, false}, 8));
    open(4096 * KIB);
    open(0);
    for (int i = 0; i < 4; ++i) {
        open(600 * KIB);
    }
    readAhead_.advise();
    EXPECT_EQ(reached(), (std::vector<bool>{true, true, true, true, true, false}));
}

// Asking holds no descriptor of its own past the read-ahead's life.
TEST_F(ReadAheadTest, LeavesNoDescriptorOpen) {
    const int before = openDescriptorCount();
    {
        ReadAhead readAhead;
        ASSERT_TRUE(readAhead.reset({8, 1024 * KIB, 256 * KIB, false}, 8));
        readAhead.advise();
    }
    EXPECT_EQ(openDescriptorCount(), before);
}

// The files opened ahead never take more than an eighth of the descriptors allowed.
TEST(ReadAheadPolicyTest, KeepsWithinTheDescriptorLimit) {
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit tight = saved;
    tight.rlim_cur = 40;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &tight), 0);
    forceReadAhead(ReadAheadChoice::Parallel);
    const ReadAheadPolicy tightPolicy = readAheadPolicyFor(0);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &saved), 0);
    const ReadAheadPolicy policy = readAheadPolicyFor(0);
    forceReadAhead(ReadAheadChoice::Off);
    const ReadAheadPolicy off = readAheadPolicyFor(0);
    forceReadAhead(ReadAheadChoice::ByDevice);
    EXPECT_EQ(tightPolicy.files, 5u);
    EXPECT_GT(policy.files, tightPolicy.files);
    EXPECT_EQ(off.files, 0u);
    EXPECT_EQ(off.bytes, 0u);
}

} // namespace
