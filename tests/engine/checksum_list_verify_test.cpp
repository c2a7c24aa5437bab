#include "engine/checksum_list.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include <fcntl.h>
#include <openssl/evp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/lane_hasher.h"
#include "engine/list_line.h"
#include "engine/md5_lanes.h"
#include "os/file_stream.h"
#include "os/read_ahead.h"
#include "tests/engine/stopping_meter.h"
#include "tests/support/descriptors.h"
#include "tests/support/recording_sink.h"
#include "tests/support/scratch_folder.h"

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

using Row = RecordedRow;

// The two ways of verifying a list, which must give the same rows, diagnostics and results.
enum class Verifier { SideBySide, OneAtATime };

std::string verifierName(Verifier verifier) {
    return verifier == Verifier::SideBySide ? "SideBySide" : "OneAtATime";
}

// Each test works in a fresh folder that is the current directory while it runs, as the list's
// folder is during a real verification run.
class VerifyFixture : public testing::Test {
protected:
    static void write(const std::string& name, const std::string& bytes) {
        std::FILE* out = std::fopen(name.c_str(), "wb");
        ASSERT_NE(out, nullptr);
        EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), out), bytes.size());
        EXPECT_EQ(std::fclose(out), 0);
    }

    virtual Verifier verifier() const = 0;

    // Writes the list as listName, opens it as the window does (text mode) and verifies it.
    int run(const std::string& list, bool verbose = false, bool binary = true,
            const char* mode = "r", WorkMeter* meter = nullptr) {
        write(listName, list);
        const int descriptors = openDescriptorCount();
        std::FILE* stream = openFileStream(listName.c_str(), mode);
        EXPECT_NE(stream, nullptr);
        if (stream == nullptr) {
            return -1;
        }
        sink = RecordingSink{};
        testing::internal::CaptureStderr();
        const int result =
            verifier() == Verifier::SideBySide
                ? verifyList(stream, sink, verbose, binary, meter, listName.c_str())
                : verifyListOneAtATime(stream, sink, verbose, binary, meter, listName.c_str());
        messages = testing::internal::GetCapturedStderr();
        std::fclose(stream);
        EXPECT_EQ(openDescriptorCount(), descriptors) << "a file was left open";
        return result;
    }

    std::string listName = "list.md5";
    RecordingSink sink;
    std::string messages;

    // What one run gave: its result, rows and stderr bytes.
    struct Outcome {
        int result;
        std::vector<Row> rows;
        std::string messages;
    };
    Outcome outcome(const std::string& list, bool verbose, bool binary, WorkMeter* meter) {
        const int result = run(list, verbose, binary, "r", meter);
        return {result, sink.rows, messages};
    }

private:
    ScratchFolder scratch_{true};
};

class ChecksumListVerifyTest : public VerifyFixture, public testing::WithParamInterface<Verifier> {
protected:
    Verifier verifier() const override { return GetParam(); }
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

TEST_P(ChecksumListVerifyTest, AllMatchingIsQuietAndReturns0) {
    write("a", ALPHA);
    write("b c", BETA);
    EXPECT_EQ(run(entry(ALPHA, "a") + entry(BETA, "b c", '*')), 0);
    EXPECT_EQ(messages, "");
    ASSERT_EQ(sink.rows.size(), 2u);
    expectRow(sink.rows[0], "a", STATUS_OK, md5Of(ALPHA), md5Of(ALPHA));
    expectRow(sink.rows[1], "b c", STATUS_OK, md5Of(BETA), md5Of(BETA));
}

TEST_P(ChecksumListVerifyTest, MismatchGivesMessageAndReturns1) {
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

// A list named for BLAKE2b holds digests of every length b2sum -l writes, untagged or tagged:
// each is hashed at its length, and a mismatch names it. The lines are b2sum's own: -l 256,
// -l 160 --tag, -l 8, the default 512, and -l 256 of d before it changed.
TEST_P(ChecksumListVerifyTest, Blake2bOfEveryLengthInABlake2bList) {
    write("a", ALPHA);
    write("b c", BETA);
    write("d", "changed\n");
    listName = "B2SUMS";
    const std::string list =
        "67b755180b7a98f6aa26a92770d6d674d1b24d041554a3c59ccd47bf851a9081  a\n"
        "BLAKE2b-160 (b c) = 96203dc42bbfec2277122167abaccafaa17ebb46\n"
        "53  a\n"
        "ab0f6802d80e573960c1d4172acc7941a7425000730082d86bdaafa71c0ad53a"
        "0f2a9627b13581dc9e6538b3a4e1ec911869083ee184ab04f856e7b7dded4711  a\n"
        "d98eeaaa50491a8d4d435722b4686ad79fd390104547f3c44cfb9dd326e7b6a1  d\n";
    EXPECT_EQ(run(list), 1);
    EXPECT_EQ(messages, "md5sum: BLAKE2b-256 check failed for 'd'\n");
    const std::size_t lengths[] = {32, 20, 1, 64, 32};
    ASSERT_EQ(sink.rows.size(), std::size(lengths));
    for (std::size_t i = 0; i < std::size(lengths); ++i) {
        EXPECT_EQ(sink.rows[i].status, i + 1 < std::size(lengths) ? STATUS_OK : STATUS_FAILED);
        EXPECT_EQ(sink.rows[i].actual->algorithm, Algorithm::Blake2b512);
        EXPECT_EQ(sink.rows[i].actual->length, lengths[i]) << "row " << i;
    }

    EXPECT_EQ(run(list, true), 1);
    EXPECT_EQ(messages.substr(messages.find("md5sum:")),
              "md5sum: 1 of 5 file(s) failed BLAKE2b-8/BLAKE2b-160/BLAKE2b-256/BLAKE2b check\n");
}

TEST_P(ChecksumListVerifyTest, VerboseColumnWidensForLongNamesAndStaysWide) {
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

TEST_P(ChecksumListVerifyTest, EveryFileMissingReturns3) {
    EXPECT_EQ(run(entry(ALPHA, "gone") + entry(BETA, "lost", '*')), 3);
    EXPECT_EQ(messages, "md5sum: can't open gone\n"
                        "md5sum: can't open lost\n"
                        "md5sum: no files checked\n");
    ASSERT_EQ(sink.rows.size(), 2u);
    expectRow(sink.rows[0], "gone", STATUS_UNREADABLE, md5Of(ALPHA), std::nullopt);
    expectRow(sink.rows[1], "lost", STATUS_UNREADABLE, md5Of(BETA), std::nullopt);
}

TEST_P(ChecksumListVerifyTest, UnopenableFileOutranksMismatch) {
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

TEST_P(ChecksumListVerifyTest, FoldersFifosAndDevicesCannotBeOpened) {
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

// Past a few hundred names in one folder (the list's own, or another), the folder's listing
// tells which are regular files; a FIFO among them is still never opened: a writer waiting for a
// reader keeps waiting.
TEST_P(ChecksumListVerifyTest, AFifoLateInALongListIsNeverOpened) {
    ASSERT_EQ(mkdir("sub", 0700), 0);
    for (const std::string folder : {"", "sub/"}) {
        SCOPED_TRACE(folder);
        std::string list;
        for (int i = 0; i < 400; ++i) {
            const std::string name = folder + "n" + std::to_string(i);
            write(name, ALPHA);
            list += entry(ALPHA, name);
        }
        const std::string late = folder + "late";
        ASSERT_EQ(mkfifo(late.c_str(), 0600), 0);
        std::atomic<bool> writerWoken{false};
        std::thread writer([&] {
            const int fd = ::open(late.c_str(), O_WRONLY);
            writerWoken = true;
            if (fd >= 0) {
                ::close(fd);
            }
        });
        const int result = run(list + entry(ALPHA, late) + entry(ALPHA, folder + "n0"));
        EXPECT_EQ(result, 2);
        EXPECT_EQ(messages, "md5sum: can't open " + late + "\n");
        EXPECT_FALSE(writerWoken) << "the FIFO was opened for reading";
        // Let the writer go.
        const int reader = ::open(late.c_str(), O_RDONLY | O_NONBLOCK);
        writer.join();
        ::close(reader);
    }
}

TEST_P(ChecksumListVerifyTest, AReadErrorGivesNoActualDigest) {
    // A regular file whose reading fails at once: the process's memory at the unmapped
    // address 0. What was read before the error (nothing) is no checksum of the file, though
    // the list names the empty input's.
    write("a", ALPHA);
    for (bool verbose : {false, true}) {
        EXPECT_EQ(run(entry("", "/proc/self/mem") + entry(ALPHA, "a"), verbose), 2);
        ASSERT_EQ(sink.rows.size(), 2u);
        expectRow(sink.rows[0], "/proc/self/mem", STATUS_UNREADABLE, md5Of(""), std::nullopt);
        EXPECT_EQ(sink.rows[1].status, STATUS_OK);
    }
    EXPECT_EQ(messages, "/proc/self/mem md5sum: error reading /proc/self/mem\n"
                        "a              OK\n");
    EXPECT_EQ(run(entry("", "/proc/self/mem")), 3);
    EXPECT_EQ(messages, "md5sum: error reading /proc/self/mem\n"
                        "md5sum: no files checked\n");
}

TEST_P(ChecksumListVerifyTest, ListsWithNothingToCheckReturn3) {
    for (const std::string& list :
         {std::string(), std::string("\n\n\r\n"), std::string("# just a comment\n  # another\n")}) {
        SCOPED_TRACE(list);
        EXPECT_EQ(run(list), 3);
        EXPECT_EQ(messages, "md5sum: no files checked\n");
        EXPECT_TRUE(sink.rows.empty());
    }
}

// Every line that is no entry, comment or blank line gets a diagnostic and is counted, and no
// line is ever checked in pieces; the entries around them are checked.
TEST_P(ChecksumListVerifyTest, LinesNotUnderstoodAreReportedAndCounted) {
    write("a", ALPHA);
    const std::string hexA = hexOf(md5Of(ALPHA));
    const std::string longLine = hexA + "  " + std::string(9000, 'x') + hexA + "  a";
    const std::string lines[] = {"junk",
                                 hexA + " ?a",
                                 hexA + "\t a",
                                 hexA + " a",
                                 hexA.substr(2) + "  a",
                                 "SHA256 (a) = " + hexA,
                                 "SHA1 (a = " + hexA};
    std::string list = entry(ALPHA, "a");
    std::string expected;
    for (const std::string& line : lines) {
        list += line + "\n";
        expected += "md5sum: unrecognized line: " + line + "\n";
    }
    list += longLine + "\n" + entry(ALPHA, "a") + "no line feed";
    expected += "md5sum: unrecognized line: " + longLine.substr(0, MAX_LINE_BYTES) + "...\n";
    expected += "md5sum: unrecognized line: no line feed\n";
    EXPECT_EQ(run(list), 0);
    EXPECT_EQ(messages, expected);
    EXPECT_EQ(sink.rows.size(), 2u);
    EXPECT_EQ(sink.notUnderstood, 9);
}

TEST_P(ChecksumListVerifyTest, SameFileListedTwiceGivesTwoRows) {
    write("a", ALPHA);
    EXPECT_EQ(run(entry(ALPHA, "a") + entry(ALPHA, "a")), 0);
    ASSERT_EQ(sink.rows.size(), 2u);
    expectRow(sink.rows[0], "a", STATUS_OK, md5Of(ALPHA), md5Of(ALPHA));
    expectRow(sink.rows[1], "a", STATUS_OK, md5Of(ALPHA), md5Of(ALPHA));
}

TEST_P(ChecksumListVerifyTest, LineEndsLfCrLfAndCrCrLfGiveCleanNames) {
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

TEST_P(ChecksumListVerifyTest, OnlyOneCarriageReturnIsTrimmed) {
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

TEST_P(ChecksumListVerifyTest, NameOfOneCarriageReturnCannotBeOpened) {
    EXPECT_EQ(run(hexOf(md5Of("")) + "  \r\r\n"), 3);
    ASSERT_EQ(sink.rows.size(), 1u);
    expectRow(sink.rows[0], "", STATUS_UNREADABLE, md5Of(""), std::nullopt);
    EXPECT_EQ(messages, "md5sum: can't open \n"
                        "md5sum: no files checked\n");
}

TEST_P(ChecksumListVerifyTest, EntryTypeChoosesTheModeOnlyWithBinaryOff) {
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

TEST_P(ChecksumListVerifyTest, SavedReportReadsBackCleanly) {
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

TEST_P(ChecksumListVerifyTest, ReadErrorOnTheListEndsTheRun) {
    // The list itself fails at its first read: the run ends as at the end of the list.
    std::FILE* list = openFileStream("/proc/self/mem", "r");
    ASSERT_NE(list, nullptr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(GetParam() == Verifier::SideBySide ? verifyList(list, sink, true, true)
                                                 : verifyListOneAtATime(list, sink, true, true),
              3);
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

class VerifyStopTest : public VerifyFixture,
                       public testing::WithParamInterface<std::tuple<StopCase, Verifier>> {
protected:
    Verifier verifier() const override { return std::get<1>(GetParam()); }
    const StopCase& stopCase() const { return std::get<0>(GetParam()); }
};

// A stop keeps the results of the files before it, gives the file in progress nothing (no row,
// no padded name) and writes no closing message.
TEST_P(VerifyStopTest, KeepsWhatFinishedAndNothingAfter) {
    write("a", std::string(1000, 'a'));
    write("big", std::string(3 << 20, 'b'));
    write("c", std::string(5000, 'c'));
    const std::string list = entry(std::string(1000, 'a'), "a") + "junk\n" + entry("other", "big") +
                             entry(std::string(5000, 'c'), "c");
    StoppingMeter stopper(stopCase().stopAt);
    EXPECT_EQ(run(list, true, true, "r", &stopper), VERIFY_STOPPED);
    EXPECT_EQ(sink.rows.size(), stopCase().rowsKept);
    EXPECT_EQ(messages, stopCase().verboseMessages);
}

INSTANTIATE_TEST_SUITE_P(
    Points, VerifyStopTest,
    testing::Combine(testing::Values(StopCase{"BeforeTheFirstFile", 0, 0, ""},
                                     StopCase{"InTheMiddleOfALargeFile", 1000 + (1 << 20), 1,
                                              "a              OK\n"
                                              "md5sum: unrecognized line: junk\n"},
                                     StopCase{"AtTheLastFile", 1000 + (3 << 20) + 2048, 2,
                                              "a              OK\n"
                                              "md5sum: unrecognized line: junk\n"
                                              "big            FAILED\n"}),
                     testing::Values(Verifier::SideBySide, Verifier::OneAtATime)),
    [](const testing::TestParamInfo<std::tuple<StopCase, Verifier>>& info) {
        return std::string(std::get<0>(info.param).name) + verifierName(std::get<1>(info.param));
    });

// A stop asked for between lines ends a list of files that cannot be opened too.
TEST_P(ChecksumListVerifyTest, AStopEndsAListOfFilesThatCannotBeOpened) {
    std::string list;
    for (int i = 0; i < 3000; ++i) {
        list += entry("", "missing" + std::to_string(i));
    }
    StoppingMeter stopper(~std::uint64_t{0}, 100);
    EXPECT_EQ(run(list, false, true, "r", &stopper), VERIFY_STOPPED);
    EXPECT_LT(sink.rows.size(), 101u);
    EXPECT_EQ(messages.find("no files checked"), std::string::npos);
}

TEST_P(ChecksumListVerifyTest, MeterHearsEachFileAndEveryLine) {
    write("a", std::string(3000, 'a'));
    StoppingMeter watcher;
    EXPECT_EQ(run(entry(std::string(3000, 'a'), "a") + "junk\n" + entry("", "gone"), false, true,
                  "r", &watcher),
              2);
    EXPECT_EQ(watcher.files, std::vector<std::string>{"a:3000"});
    EXPECT_EQ(watcher.total, 3000u);
    // Once per line and at the end; then one-at-a-time hashing reports each 1024-byte piece of
    // a, side-by-side hashing each round of its lanes (one, for a file this short).
    EXPECT_GE(watcher.calls, (GetParam() == Verifier::OneAtATime ? 3u : 1u) + 4u);
}

INSTANTIATE_TEST_SUITE_P(Verifiers, ChecksumListVerifyTest,
                         testing::Values(Verifier::SideBySide, Verifier::OneAtATime),
                         [](const testing::TestParamInfo<Verifier>& info) {
                             return verifierName(info.param);
                         });

// Verifies the same list both ways and expects the same result, rows and stderr bytes, and that
// a meter heard the same files and bytes (and, with stopAt, that both stopped at the same file).
// Side by side, files are opened and read ahead as the parameter says, whatever the disk.
class SideBySideTest : public VerifyFixture, public testing::WithParamInterface<ReadAheadChoice> {
protected:
    void SetUp() override { forceReadAhead(GetParam()); }
    void TearDown() override { forceReadAhead(ReadAheadChoice::ByDevice); }
    Verifier verifier() const override { return current_; }

    void expectSameBothWays(const std::string& list, bool verbose, bool binary,
                            std::uint64_t stopAt = ~std::uint64_t{0}) {
        SCOPED_TRACE(testing::Message()
                     << "verbose " << verbose << ", binary " << binary << ", stop at " << stopAt);
        current_ = Verifier::OneAtATime;
        StoppingMeter oneMeter(stopAt);
        const Outcome one = outcome(list, verbose, binary, &oneMeter);
        current_ = Verifier::SideBySide;
        for (const std::string& name : notCached_) {
            dropFromPageCache(name);
        }
        StoppingMeter sideMeter(stopAt);
        const Outcome side = outcome(list, verbose, binary, &sideMeter);
        EXPECT_EQ(side.result, one.result);
        EXPECT_EQ(side.messages, one.messages);
        ASSERT_EQ(side.rows.size(), one.rows.size());
        for (std::size_t i = 0; i < one.rows.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "row " << i);
            expectRow(side.rows[i], one.rows[i].name, one.rows[i].status, one.rows[i].expected,
                      one.rows[i].actual);
        }
        if (one.result != VERIFY_STOPPED) {
            EXPECT_EQ(sideMeter.files, oneMeter.files);
            EXPECT_EQ(sideMeter.total, oneMeter.total);
        }
        // Also the bytes of a file hashed ahead arrive in moderate pieces.
        EXPECT_LE(sideMeter.largest, LaneHasher::READ_SIZE);
    }

    // Files to be read from the disk, not the page cache, side by side: as on a cold disk,
    // they are then read ahead of their hashing.
    std::vector<std::string> notCached_;

private:
    static void dropFromPageCache(const std::string& name) {
        const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(fd, 0) << name;
        ::fdatasync(fd);
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }

    Verifier current_ = Verifier::SideBySide;
};

// A large file first, so that every later file is hashed and waits while it is still going (the
// same large file too); between the later ones every kind of line reported without hashing.
std::string mixedList(const std::string& big) {
    return entry(big, "big") + entry(big, "big") + entry(ALPHA, "gone") +
           entry("", "/proc/self/mem") + entry("", "sub") + hexOf(md5Of(ALPHA)) + " ?a\n" +
           entry(ALPHA, "a") + entry("one\ntwo\n", "crlf", ' ') + entry("original", "c", '*') +
           "junk\n" + hexOf(md5Of(BETA)) + " *b and a long name\r\r\n" + entry(ALPHA, "a");
}

TEST_P(SideBySideTest, ReportsInListOrderWhateverFinishesFirst) {
    const std::string big(3 << 20, 'b');
    write("big", big);
    notCached_ = {"big"};
    write("a", ALPHA);
    write("crlf", "one\r\ntwo\r\n");
    write("c", "changed");
    write("b and a long name", BETA);
    ASSERT_EQ(mkdir("sub", 0700), 0);
    const std::string list = mixedList(big);
    for (bool verbose : {false, true}) {
        for (bool binary : {false, true}) {
            expectSameBothWays(list, verbose, binary);
        }
    }
    // The order, pinned down for one of them.
    EXPECT_EQ(run(list, false, false), 2);
    std::string expected = "md5sum: can't open gone\n"
                           "md5sum: error reading /proc/self/mem\n"
                           "md5sum: can't open sub\n";
    expected += "md5sum: unrecognized line: ";
    expected += hexOf(md5Of(ALPHA));
    expected += " ?a\nmd5sum: MD5 check failed for 'c'\nmd5sum: unrecognized line: junk\n";
    EXPECT_EQ(messages, expected);
    EXPECT_EQ(sink.rows.size(), 10u);
}

// A stop at any point leaves the same rows and diagnostics both ways, since the bytes of files
// hashed ahead reach the meter only at their turn.
TEST_P(SideBySideTest, StopsAtTheSameFileBothWays) {
    const std::string big(3 << 20, 'b');
    write("big", big);
    notCached_ = {"big"};
    write("a", ALPHA);
    write("crlf", "one\r\ntwo\r\n");
    write("c", "changed");
    ASSERT_EQ(mkdir("sub", 0700), 0);
    const std::string list = entry(ALPHA, "a") + mixedList(big);
    const std::uint64_t a = ALPHA.size();
    for (std::uint64_t stopAt : {std::uint64_t{0}, a, a + 1, a + (1 << 20), a + (3 << 20),
                                 a + (3 << 20) + 1, a + (3 << 20) + a + 1}) {
        expectSameBothWays(list, true, true, stopAt);
    }
}

// More files than lanes, each of several reads: a stop comes while files wait, opened, for a
// lane, and leaves none of them open.
TEST_P(SideBySideTest, AStopWhileFilesWaitForALane) {
    std::string list;
    for (int i = 0; i < 24; ++i) {
        const std::string contents(1 << 20, static_cast<char>('a' + i));
        std::string name = "f";
        name += std::to_string(i);
        write(name, contents);
        list += entry(contents, name);
        notCached_.push_back(name);
    }
    expectSameBothWays(list, false, true, 1 << 19);
    expectSameBothWays(list, false, true);
}

// More lines than the window holds, many of them waiting behind a large first file, on every
// lane path: the window fills, wraps around, and still reports in order.
TEST_P(SideBySideTest, ListsLongerThanTheWindowOnEveryLanePath) {
    const std::string big(1 << 20, 'b');
    write("big", big);
    std::string list = entry(big, "big");
    for (int i = 0; i < 5000; ++i) {
        std::string name = "f";
        name += std::to_string(i % 37);
        if (i < 37) {
            write(name, std::string(static_cast<std::size_t>(i) * 29, 'x'));
        }
        list += i % 11 == 0 ? entry("", "missing") : i % 13 == 0 ? "junk\n" : entry("", name);
    }
    for (Md5LanePath path : {Md5LanePath::Portable, Md5LanePath::Avx2, Md5LanePath::Avx512}) {
        if (!md5ForceLanePath(path)) {
            continue;
        }
        SCOPED_TRACE(testing::Message() << "lane path " << static_cast<int>(path));
        expectSameBothWays(list, true, true);
        // A stop part-way through the large file, with files opened ahead behind it.
        expectSameBothWays(list, true, true, big.size() / 2);
    }
    md5UseDefaultLanePath();
}

} // namespace

namespace {

// With hardly a descriptor to spare, files wait for a lane to close its own instead of being
// reported unreadable.
TEST_P(SideBySideTest, FewDescriptorsStillCheckEveryFile) {
    // Small files, and a few large enough to be hashed on a second core.
    auto contents = [](int k) {
        return std::string(static_cast<std::size_t>(k < 6 ? 300000 + k : k * 7), 'x');
    };
    std::string list;
    for (int i = 0; i < 5000; ++i) {
        std::string name = "f";
        name += std::to_string(i % 200);
        if (i < 200) {
            write(name, contents(i));
        }
        list += entry(contents(i % 200), name);
    }
    // A first check with descriptors to spare: the sanitizers look at each class the first time
    // one of its virtual functions is called, and need descriptors of their own to do it.
    EXPECT_EQ(run(entry(contents(0), "f0")), 0);
    sink = RecordingSink{};
    write("list.md5", list);
    const int before = openDescriptorCount();
    std::FILE* stream = openFileStream("list.md5", "r");
    ASSERT_NE(stream, nullptr);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    // Room for three files besides what is open now: fewer than the lanes of any path but one.
    rlimit tight = saved;
    tight.rlim_cur = static_cast<rlim_t>(openDescriptorCount() + 3);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &tight), 0);
    const int result = verifyList(stream, sink, false, true);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &saved), 0);
    std::fclose(stream);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(sink.rows.size(), 5000u);
    EXPECT_EQ(openDescriptorCount(), before); // every file's descriptor closed
}

std::string readAheadName(const testing::TestParamInfo<ReadAheadChoice>& info) {
    switch (info.param) {
    case ReadAheadChoice::Off:
        return "Off";
    case ReadAheadChoice::Parallel:
        return "Parallel";
    case ReadAheadChoice::Rotational:
        return "Rotational";
    case ReadAheadChoice::ByDevice:
        break;
    }
    return "ByDevice";
}

INSTANTIATE_TEST_SUITE_P(ReadAhead, SideBySideTest,
                         testing::Values(ReadAheadChoice::Off, ReadAheadChoice::Parallel,
                                         ReadAheadChoice::Rotational),
                         readAheadName);

} // namespace
