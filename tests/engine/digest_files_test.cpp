#include "engine/digest_files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "engine/file_digest.h"
#include "os/file_stream.h"
#include "tests/engine/stopping_meter.h"
#include "tests/support/descriptors.h"
#include "tests/support/recording_sink.h"
#include "tests/support/scratch_folder.h"

namespace {

// What opening the path with openFileStream(path, "rb") and hashing it with digestStream gives.
FileDigest oneAtATime(const std::string& path) {
    FileDigest result;
    std::FILE* file = openFileStream(path.c_str(), "rb");
    if (file != nullptr) {
        result.opened = true;
        result.readError = digestStream(file, result.digest) != 0;
        std::fclose(file);
    }
    return result;
}

class DigestFilesTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(mkdir(path("folder").c_str(), 0700), 0);
        // A large file first, so that the small ones after it finish ahead of it.
        paths_ = {write("large", std::string(5 << 20, 'L')),
                  path("missing"),
                  write("empty", ""),
                  "/proc/self/mem",
                  path("folder"),
                  write("one", "1"),
                  write("block", std::string(64, 'b')),
                  write("crlf", "one\r\ntwo\r\n")};
    }
    std::string path(const char* name) const { return scratch_ / name; }
    std::string write(const char* name, const std::string& bytes) const {
        return scratch_.write(name, bytes);
    }

    ScratchFolder scratch_;
    std::vector<std::string> paths_;
};

TEST_F(DigestFilesTest, EachPathInOrderAsOneAtATime) {
    RecordingSink sink;
    StoppingMeter meter;
    const int descriptors = openDescriptorCount();
    EXPECT_EQ(digestFiles(paths_, sink, &meter), 0);
    EXPECT_EQ(openDescriptorCount(), descriptors) << "a file was left open";
    ASSERT_EQ(sink.results.size(), paths_.size());
    EXPECT_EQ(sink.paths, paths_);
    std::vector<std::string> begun;
    for (std::size_t i = 0; i < paths_.size(); ++i) {
        SCOPED_TRACE(paths_[i]);
        const FileDigest expected = oneAtATime(paths_[i]);
        EXPECT_EQ(sink.results[i].opened, expected.opened);
        EXPECT_EQ(sink.results[i].readError, expected.readError);
        if (expected.opened) {
            EXPECT_EQ(sink.results[i].digest, expected.digest);
            struct stat info;
            ASSERT_EQ(stat(paths_[i].c_str(), &info), 0);
            begun.push_back(paths_[i] + ":" + std::to_string(info.st_size));
        }
    }
    EXPECT_FALSE(sink.results[1].opened);
    EXPECT_TRUE(sink.results[3].readError);
    EXPECT_FALSE(sink.results[4].opened);
    EXPECT_EQ(meter.files, begun);
    EXPECT_EQ(meter.total, (5u << 20) + 1 + 64 + 10);
}

// A stop in the large first file: the small files after it were hashed already, but nothing
// is reported; a stop after it keeps it and the paths up to the next file.
TEST_F(DigestFilesTest, StopReportsOnlyWhatCameBefore) {
    const struct {
        std::uint64_t stopAt;
        std::size_t reported;
    } cases[] = {{0, 0}, {1 << 20, 0}, {(5 << 20) + 1, 5}, {(5 << 20) + 2, 6}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stopAt);
        RecordingSink sink;
        StoppingMeter meter(c.stopAt);
        EXPECT_EQ(digestFiles(paths_, sink, &meter), DIGEST_STOPPED);
        EXPECT_EQ(sink.results.size(), c.reported);
    }
}

} // namespace
