#include "os/read_ahead.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include "os/file_stream.h"
#include "os/read_calls.h"
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

// Answers for the page cache file by file, as the test says, and records what is asked of the
// disk; without a ring every ask is made where it can be seen.
class CacheOfTheTest : public ReadCalls {
public:
    bool ringsAllowed() override { return false; }
    std::int64_t cachedPages(int fd, std::uint64_t, std::uint64_t length) override {
        return cachedFds.count(fd) != 0 ? static_cast<std::int64_t>(length / 4096 + 2) : 0;
    }
    int adviseWillNeed(int fd, off_t offset, off_t length) override {
        asks.emplace_back(fd, offset, length);
        return 0;
    }
    std::set<int> cachedFds;
    std::vector<std::tuple<int, off_t, off_t>> asks;
};

// What the page cache holds is not asked for again; every range it lacks is, in its order.
TEST_F(ReadAheadTest, AsksOnlyForWhatThePageCacheLacks) {
    CacheOfTheTest cache;
    ScopedReadCalls installed(cache);
    ASSERT_TRUE(readAhead_.reset({8, 16384 * KIB, 256 * KIB, true}, 8));
    for (int i = 0; i < 4; ++i) {
        open(i < 2 ? 600 * KIB : 300 * KIB);
        if (i % 2 == 0) {
            cache.cachedFds.insert(fds_.back());
        }
    }
    readAhead_.advise();
    const off_t k = static_cast<off_t>(KIB);
    EXPECT_EQ(cache.asks, (std::vector<std::tuple<int, off_t, off_t>>{
                              {fds_[1], 0, 256 * k},
                              {fds_[1], 256 * k, 256 * k},
                              {fds_[1], 512 * k, 88 * k},
                              {fds_[3], 0, 256 * k},
                              {fds_[3], 256 * k, 44 * k},
                          }));
}

// After a long run of files found in the page cache only samples are looked at, but a file
// that is not there is still noticed within a few files, and asked for from then on.
TEST_F(ReadAheadTest, AColdFileAfterManyCachedOnesIsNoticed) {
    CacheOfTheTest cache;
    ScopedReadCalls installed(cache);
    ASSERT_TRUE(readAhead_.reset({8, 16384 * KIB, 256 * KIB, true}, 100));
    for (int i = 0; i < 100; ++i) {
        open(4 * KIB);
        if (i < 80) {
            cache.cachedFds.insert(fds_.back());
        }
    }
    readAhead_.advise();
    std::set<int> asked;
    for (const auto& ask : cache.asks) {
        asked.insert(std::get<0>(ask));
    }
    for (int i = 0; i < 80; ++i) {
        EXPECT_EQ(asked.count(fds_[i]), 0u) << "cached file " << i;
    }
    for (int i = 96; i < 100; ++i) {
        EXPECT_EQ(asked.count(fds_[i]), 1u) << "cold file " << i;
    }
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
