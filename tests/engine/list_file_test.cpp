#include "engine/list_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "engine/file_digest.h"
#include "tests/engine/md5_test_support.h"
#include "tests/engine/stopping_meter.h"
#include "tests/support/recording_sink.h"
#include "tests/support/scratch_folder.h"

namespace {

std::string entry(const std::string& contents, const std::string& name) {
    return toHex(referenceMd5(contents.data(), contents.size())) + "  " + name + "\r\n";
}

// The list is counted and checked through one open: a list put in its place between the two
// (as a save over it would) is not the one checked, and the CR LF line ends read alike both
// times, a CR held back at the end of the count's reading included.
TEST(ListFileTest, CountsAndChecksThroughOneOpen) {
    ScratchFolder scratch(true);
    scratch.write("a", "alpha");
    scratch.write("b", "beta");
    ListFile list(scratch / "MD5SUMS");
    scratch.write("MD5SUMS", entry("alpha", "a") + entry("beta", "b") + "\r");
    ASSERT_TRUE(list.open());
    EXPECT_EQ(list.countEntries(nullptr), 2);

    scratch.write("other", entry("gamma", "a"));
    ASSERT_EQ(std::rename((scratch / "other").c_str(), (scratch / "MD5SUMS").c_str()), 0);
    RecordingSink sink;
    testing::internal::CaptureStderr();
    EXPECT_EQ(list.verify(sink, false, false, nullptr), 0);
    testing::internal::GetCapturedStderr();
    ASSERT_EQ(sink.rows.size(), 2u);
    EXPECT_EQ(sink.rows[0].name, "a");
    EXPECT_EQ(sink.rows[1].name, "b");
    EXPECT_EQ(sink.rows[1].status, STATUS_OK);
}

TEST(ListFileTest, AStopWhileCountingAndAListThatCannotBeOpened) {
    ScratchFolder scratch(true);
    scratch.write("MD5SUMS", entry("alpha", "a"));
    ListFile list(scratch / "MD5SUMS");
    ASSERT_TRUE(list.open());
    StoppingMeter stopper(~std::uint64_t{0}, 0);
    EXPECT_EQ(list.countEntries(&stopper), -1);

    ListFile missing(scratch / "gone");
    EXPECT_FALSE(missing.open());
    EXPECT_EQ(missing.error(), ENOENT);
}

} // namespace
