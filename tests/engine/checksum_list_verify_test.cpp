#include "engine/checksum_list.h"

#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include <openssl/evp.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_stream.h"
#include "tests/engine/stopping_meter.h"

namespace {

Digest md5Of(const std::string& bytes) {
    Digest digest{};
    unsigned length = 0;
    EVP_Digest(bytes.data(), bytes.size(), digest.data(), &length, EVP_md5(), nullptr);
    return digest;
}

std::string hexOf(const Digest& digest) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (std::uint8_t byte : digest) {
        hex += digits[byte >> 4];
        hex += digits[byte & 15];
    }
    return hex;
}

struct Row {
    std::string name;
    std::optional<Digest> expected;
    std::optional<Digest> actual;
    int status;
};

class RecordingSink : public ResultSink {
public:
    void addResult(const char* name, const Digest* expected, const Digest* actual,
                   int status) override {
        Row row{name, std::nullopt, std::nullopt, status};
        if (expected != nullptr) {
            row.expected = *expected;
        }
        if (actual != nullptr) {
            row.actual = *actual;
        }
        rows.push_back(row);
    }
    std::vector<Row> rows;
};

// Each test works in a fresh folder that is the current directory while it runs, as the list's
// folder is during a real verification run.
class ChecksumListVerifyTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(getcwd(previous_, sizeof previous_), nullptr);
        const char* base = std::getenv("TMPDIR");
        folder_ = std::string(base != nullptr && base[0] != '\0' ? base : "/tmp") +
                  "/checksum_list_test.XXXXXX";
        ASSERT_NE(mkdtemp(folder_.data()), nullptr);
        ASSERT_EQ(chdir(folder_.c_str()), 0);
    }
    void TearDown() override {
        EXPECT_EQ(chdir(previous_), 0);
        const std::string command = "rm -rf '" + folder_ + "'";
        EXPECT_EQ(std::system(command.c_str()), 0);
    }

    static void write(const std::string& name, const std::string& bytes) {
        std::FILE* out = std::fopen(name.c_str(), "wb");
        ASSERT_NE(out, nullptr);
        EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), out), bytes.size());
        EXPECT_EQ(std::fclose(out), 0);
    }

    // Writes the list, opens it as the window does (text mode) and verifies it.
    int run(const std::string& list, bool verbose = false, bool binary = true,
            const char* mode = "r", WorkMeter* meter = nullptr) {
        write("list.md5", list);
        std::FILE* stream = openFileStream("list.md5", mode);
        EXPECT_NE(stream, nullptr);
        if (stream == nullptr) {
            return -1;
        }
        sink.rows.clear();
        testing::internal::CaptureStderr();
        const int result = verifyList(stream, sink, verbose, binary, meter);
        messages = testing::internal::GetCapturedStderr();
        std::fclose(stream);
        return result;
    }

    RecordingSink sink;
    std::string messages;

private:
    char previous_[PATH_MAX];
    std::string folder_;
};

const std::string ALPHA = "alpha\n";
const std::string BETA = "beta contents\r\n";

std::string entry(const std::string& contents, const std::string& name, char type = ' ') {
    return hexOf(md5Of(contents)) + " " + type + name + "\n";
}

void expectRow(const Row& row, const std::string& name, int status,
               const std::optional<Digest>& expected, const std::optional<Digest>& actual) {
    EXPECT_EQ(row.name, name);
    EXPECT_EQ(row.status, status);
    EXPECT_EQ(row.expected, expected);
    EXPECT_EQ(row.actual, actual);
}

TEST_F(ChecksumListVerifyTest, AllMatchingIsQuietAndReturns0) {
    write("a", ALPHA);
    write("b c", BETA);
    EXPECT_EQ(run(entry(ALPHA, "a") + entry(BETA, "b c", '*')), 0);
    EXPECT_EQ(messages, "");
    ASSERT_EQ(sink.rows.size(), 2u);
    expectRow(sink.rows[0], "a", STATUS_OK, md5Of(ALPHA), md5Of(ALPHA));
    expectRow(sink.rows[1], "b c", STATUS_OK, md5Of(BETA), md5Of(BETA));
}

TEST_F(ChecksumListVerifyTest, MismatchGivesMessageAndReturns1) {
    write("a", ALPHA);
    write("b", BETA);
    write("c", "changed");
    const std::string list = entry(ALPHA, "a") + entry(BETA, "b") + entry("original", "c");
    EXPECT_EQ(run(list), 1);
    EXPECT_EQ(messages, "md5sum: MD5 check failed for 'c'\n");
    ASSERT_EQ(sink.rows.size(), 3u);
    EXPECT_EQ(sink.rows[0].status, STATUS_OK);
    EXPECT_EQ(sink.rows[1].status, STATUS_OK);
    expectRow(sink.rows[2], "c", STATUS_FAILED, md5Of("original"), md5Of("changed"));

    EXPECT_EQ(run(list, true), 1);
    EXPECT_EQ(messages, "a              OK\n"
                        "b              OK\n"
                        "c              FAILED\n"
                        "md5sum: 1 of 3 file(s) failed MD5 check\n");
    EXPECT_EQ(sink.rows.size(), 3u);
}

TEST_F(ChecksumListVerifyTest, VerboseColumnWidensForLongNamesAndStaysWide) {
    write("short", ALPHA);
    write("a-name-of-twenty-chars", ALPHA);
    const std::string list =
        entry(ALPHA, "short") + entry(ALPHA, "a-name-of-twenty-chars") + entry(ALPHA, "short");
    EXPECT_EQ(run(list, true), 0);
    EXPECT_EQ(messages, "short          OK\n"
                        "a-name-of-twenty-chars OK\n"
                        "short                  OK\n");
    // A new run starts at the narrow column again.
    EXPECT_EQ(run(entry(ALPHA, "short"), true), 0);
    EXPECT_EQ(messages, "short          OK\n");
}

TEST_F(ChecksumListVerifyTest, EveryFileMissingReturns3) {
    EXPECT_EQ(run(entry(ALPHA, "gone") + entry(BETA, "lost", '*')), 3);
    EXPECT_EQ(messages, "md5sum: can't open gone\n"
                        "md5sum: can't open lost\n"
                        "md5sum: no files checked\n");
    ASSERT_EQ(sink.rows.size(), 2u);
    expectRow(sink.rows[0], "gone", STATUS_UNREADABLE, md5Of(ALPHA), std::nullopt);
    expectRow(sink.rows[1], "lost", STATUS_UNREADABLE, md5Of(BETA), std::nullopt);
}

TEST_F(ChecksumListVerifyTest, UnopenableFileOutranksMismatch) {
    write("a", ALPHA);
    write("c", "changed");
    const std::string list = entry(ALPHA, "a") + entry(ALPHA, "gone") + entry(ALPHA, "c");
    EXPECT_EQ(run(list), 2);
    EXPECT_EQ(messages, "md5sum: can't open gone\n"
                        "md5sum: MD5 check failed for 'c'\n");
    ASSERT_EQ(sink.rows.size(), 3u);
    // The missing file's row shows no actual digest, not the previous file's.
    expectRow(sink.rows[1], "gone", STATUS_UNREADABLE, md5Of(ALPHA), std::nullopt);

    EXPECT_EQ(run(list, true), 2);
    EXPECT_EQ(messages, "a              OK\n"
                        "gone           md5sum: can't open gone\n"
                        "c              FAILED\n"
                        "md5sum: 1 of 2 file(s) failed MD5 check\n");
}

TEST_F(ChecksumListVerifyTest, FoldersFifosAndDevicesCannotBeOpened) {
    ASSERT_EQ(mkdir("sub", 0700), 0);
    ASSERT_EQ(mkfifo("fifo", 0600), 0); // nothing writes to it: opening must not wait
    write("a", ALPHA);
    alarm(20); // a hang fails the test instead of stalling it
    const int result =
        run(entry("", "sub") + entry("", "fifo") + entry("", "/dev/null") + entry(ALPHA, "a"));
    alarm(0);
    EXPECT_EQ(result, 2);
    EXPECT_EQ(messages, "md5sum: can't open sub\n"
                        "md5sum: can't open fifo\n"
                        "md5sum: can't open /dev/null\n");
    ASSERT_EQ(sink.rows.size(), 4u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(sink.rows[i].status, STATUS_UNREADABLE);
        EXPECT_FALSE(sink.rows[i].actual.has_value());
    }
    EXPECT_EQ(sink.rows[3].status, STATUS_OK);
}

TEST_F(ChecksumListVerifyTest, ReadErrorGivesDigestOfWhatWasRead) {
    // A regular file whose reading fails at once: the process's memory at the unmapped
    // address 0. No ordinary file fails part-way, so the digest is that of empty input.
    write("a", ALPHA);
    for (bool verbose : {false, true}) {
        EXPECT_EQ(run(entry("", "/proc/self/mem") + entry(ALPHA, "a"), verbose), 2);
        ASSERT_EQ(sink.rows.size(), 2u);
        expectRow(sink.rows[0], "/proc/self/mem", STATUS_UNREADABLE, md5Of(""), md5Of(""));
        EXPECT_EQ(sink.rows[1].status, STATUS_OK);
    }
    EXPECT_EQ(messages, "/proc/self/mem md5sum: error reading /proc/self/mem\n"
                        "a              OK\n");
    EXPECT_EQ(run(entry("", "/proc/self/mem")), 3);
    EXPECT_EQ(messages, "md5sum: error reading /proc/self/mem\n"
                        "md5sum: no files checked\n");
}

TEST_F(ChecksumListVerifyTest, ListsWithNothingToCheckReturn3) {
    std::string upper = entry(ALPHA, "a");
    for (char& c : upper) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    write("A", ALPHA);
    for (const std::string& list : {std::string(), std::string("\n\n\r\n"),
                                    std::string("# just a comment\nsome text\n"), upper}) {
        SCOPED_TRACE(list);
        EXPECT_EQ(run(list), 3);
        EXPECT_EQ(messages, "md5sum: no files checked\n");
        EXPECT_TRUE(sink.rows.empty());
    }
}

TEST_F(ChecksumListVerifyTest, SkippedLinesMakeNoRowsButTheRunGoesOn) {
    write("a", ALPHA);
    const std::string list = "junk\n" + hexOf(md5Of(ALPHA)) + " ?a\n" + entry(ALPHA, "a") +
                             hexOf(md5Of(ALPHA)) + "\t a\n";
    EXPECT_EQ(run(list), 0);
    EXPECT_EQ(messages, "md5sum: unrecognized line: " + hexOf(md5Of(ALPHA)) + " ?a\n");
    ASSERT_EQ(sink.rows.size(), 1u);
    EXPECT_EQ(sink.rows[0].name, "a");
}

TEST_F(ChecksumListVerifyTest, SameFileListedTwiceGivesTwoRows) {
    write("a", ALPHA);
    EXPECT_EQ(run(entry(ALPHA, "a") + entry(ALPHA, "a")), 0);
    ASSERT_EQ(sink.rows.size(), 2u);
    expectRow(sink.rows[0], "a", STATUS_OK, md5Of(ALPHA), md5Of(ALPHA));
    expectRow(sink.rows[1], "a", STATUS_OK, md5Of(ALPHA), md5Of(ALPHA));
}

TEST_F(ChecksumListVerifyTest, LineEndsLfCrLfAndCrCrLfGiveCleanNames) {
    write("a", ALPHA);
    write("b", BETA);
    write("c", "c");
    const std::string hexA = hexOf(md5Of(ALPHA));
    const std::string list = hexA + "  a\n" + hexOf(md5Of(BETA)) + "  b\r\n" + hexOf(md5Of("c")) +
                             " *c\r\r\n" + hexA + "  a\r\n";
    EXPECT_EQ(run(list), 0);
    ASSERT_EQ(sink.rows.size(), 4u);
    EXPECT_EQ(sink.rows[0].name, "a");
    EXPECT_EQ(sink.rows[1].name, "b");
    EXPECT_EQ(sink.rows[2].name, "c");
    EXPECT_EQ(sink.rows[3].name, "a");
    EXPECT_EQ(messages, "");
}

TEST_F(ChecksumListVerifyTest, OnlyOneCarriageReturnIsTrimmed) {
    // Read in binary, CR CR LF leaves "c\r" after the reader and "c" after the run's own trim;
    // a third CR is kept and names no existing file.
    write("c", "c");
    const std::string hexC = hexOf(md5Of("c"));
    EXPECT_EQ(run(hexC + " *c\r\n" + hexC + " *c\r\r\n", false, true, "rb"), 2);
    ASSERT_EQ(sink.rows.size(), 2u);
    EXPECT_EQ(sink.rows[0].name, "c");
    EXPECT_EQ(sink.rows[0].status, STATUS_OK);
    EXPECT_EQ(sink.rows[1].name, "c\r");
    EXPECT_EQ(sink.rows[1].status, STATUS_UNREADABLE);
}

TEST_F(ChecksumListVerifyTest, NameOfOneCarriageReturnCannotBeOpened) {
    EXPECT_EQ(run(hexOf(md5Of("")) + "  \r\r\n"), 3);
    ASSERT_EQ(sink.rows.size(), 1u);
    expectRow(sink.rows[0], "", STATUS_UNREADABLE, md5Of(""), std::nullopt);
    EXPECT_EQ(messages, "md5sum: can't open \n"
                        "md5sum: no files checked\n");
}

TEST_F(ChecksumListVerifyTest, EntryTypeChoosesTheModeOnlyWithBinaryOff) {
    const std::string raw = "one\r\ntwo\r\n";
    const std::string asText = "one\ntwo\n";
    write("crlf", raw);
    const std::string list = entry(asText, "crlf", ' ') + entry(raw, "crlf", '*');

    EXPECT_EQ(run(list, false, false), 0); // text entry read in text mode, binary entry in binary
    ASSERT_EQ(sink.rows.size(), 2u);
    EXPECT_EQ(sink.rows[0].actual, md5Of(asText));
    EXPECT_EQ(sink.rows[1].actual, md5Of(raw));

    EXPECT_EQ(run(list, false, true), 1); // everything read in binary
    ASSERT_EQ(sink.rows.size(), 2u);
    expectRow(sink.rows[0], "crlf", STATUS_FAILED, md5Of(asText), md5Of(raw));
    EXPECT_EQ(sink.rows[1].status, STATUS_OK);
    EXPECT_EQ(messages, "md5sum: MD5 check failed for 'crlf'\n");
}

TEST_F(ChecksumListVerifyTest, SavedReportReadsBackCleanly) {
    // The report text as saved: "<hex> *<name>" and CR LF per file.
    const std::vector<std::pair<std::string, std::string>> files = {
        {"first.txt", "1"}, {"with space.bin", std::string(3000, '\r')}, {"last", ""}};
    std::string report;
    for (const auto& [name, contents] : files) {
        write(name, contents);
        report += hexOf(md5Of(contents)) + " *" + name + "\r\n";
    }
    EXPECT_EQ(run(report, true), 0);
    EXPECT_EQ(messages, "first.txt      OK\n"
                        "with space.bin OK\n"
                        "last           OK\n");
    ASSERT_EQ(sink.rows.size(), files.size());
    for (size_t i = 0; i < files.size(); ++i) {
        expectRow(sink.rows[i], files[i].first, STATUS_OK, md5Of(files[i].second),
                  md5Of(files[i].second));
    }
}

TEST_F(ChecksumListVerifyTest, ReadErrorOnTheListEndsTheRun) {
    // The list itself fails at its first read: the run ends as at the end of the list.
    std::FILE* list = openFileStream("/proc/self/mem", "r");
    ASSERT_NE(list, nullptr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(verifyList(list, sink, true, true), 3);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "md5sum: no files checked\n");
    EXPECT_TRUE(sink.rows.empty());
    std::fclose(list);
}

struct StopCase {
    const char* name;
    std::uint64_t stopAt; ///< bytes hashed when the stop comes
    std::size_t rowsKept;
    const char* verboseMessages;
};

class VerifyStopTest : public ChecksumListVerifyTest, public testing::WithParamInterface<StopCase> {
};

// A stop keeps the results of the files before it, gives the file in progress nothing (no row,
// no padded name) and writes no closing message.
TEST_P(VerifyStopTest, KeepsWhatFinishedAndNothingAfter) {
    write("a", std::string(1000, 'a'));
    write("big", std::string(3 << 20, 'b'));
    write("c", std::string(5000, 'c'));
    const std::string list = entry(std::string(1000, 'a'), "a") + "junk\n" +
                             entry("other", "big") + entry(std::string(5000, 'c'), "c");
    StoppingMeter stopper(GetParam().stopAt);
    EXPECT_EQ(run(list, true, true, "r", &stopper), VERIFY_STOPPED);
    EXPECT_EQ(sink.rows.size(), GetParam().rowsKept);
    EXPECT_EQ(messages, GetParam().verboseMessages);
}

INSTANTIATE_TEST_SUITE_P(
    Points, VerifyStopTest,
    testing::Values(StopCase{"BeforeTheFirstFile", 0, 0, ""},
                    StopCase{"InTheMiddleOfALargeFile", 1000 + (1 << 20), 1, "a              OK\n"},
                    StopCase{"AtTheLastFile", 1000 + (3 << 20) + 2048, 2,
                             "a              OK\nbig            FAILED\n"}),
    [](const testing::TestParamInfo<StopCase>& info) { return std::string(info.param.name); });

TEST_F(ChecksumListVerifyTest, MeterHearsEachFileAndEveryLine) {
    write("a", std::string(3000, 'a'));
    StoppingMeter watcher;
    EXPECT_EQ(run(entry(std::string(3000, 'a'), "a") + "junk\n" + entry("", "gone"), false, true,
                  "r", &watcher),
              2);
    EXPECT_EQ(watcher.files, std::vector<std::string>{"a:3000"});
    EXPECT_EQ(watcher.total, 3000u);
    EXPECT_GE(watcher.calls, 3u + 4u); // three pieces of a, and once per line and at the end
}

} // namespace
