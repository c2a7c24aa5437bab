#include "tests/support/faulty_reads.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "engine/checksum_list.h"
#include "engine/file_digest.h"
#include "os/file_stream.h"
#include "os/read_ahead.h"
#include "tests/engine/md5_test_support.h"
#include "tests/support/recording_sink.h"
#include "tests/support/scratch_folder.h"

namespace {

// Sizes around the pieces the lanes read (128 KiB) and the 1024-byte pieces of the streams.
constexpr std::int64_t SIZES[] = {0, 1000, 131071, 131072, 131073, 300000, (1 << 20) + 5};
constexpr long FUSE = 0x65735546;

enum class ReadPath { Ring, Lanes, OneAtATime };

struct FaultCase {
    const char* name;
    FaultyReads::Faults faults;
    bool ringWaitsInterrupted = false;
    /// Whether a local disk's file system may do this; only those are read through the ring.
    bool onLocalDisks = true;
};

void PrintTo(const FaultCase& fault, std::ostream* out) {
    *out << fault.name;
}

void PrintTo(ReadPath path, std::ostream* out) {
    *out << (path == ReadPath::Ring ? "Ring" : path == ReadPath::Lanes ? "Lanes" : "OneAtATime");
}

// Every file's bytes, with CR LF pairs, so that text mode has something to join.
std::string contentOf(std::int64_t size, std::uint32_t seed) {
    std::string bytes(static_cast<std::size_t>(size), '\0');
    std::mt19937 random(seed);
    for (char& c : bytes) {
        const unsigned r = random() % 16;
        c = r == 0 ? '\r' : r == 1 ? '\n' : static_cast<char>(random());
    }
    return bytes;
}

std::string asText(const std::string& bytes) {
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' || i + 1 == bytes.size() || bytes[i + 1] != '\n') {
            text += bytes[i];
        }
    }
    return text;
}

Digest sha256Of(const std::string& bytes) {
    Digest digest = Digest::of(Algorithm::Sha256);
    EVP_Digest(bytes.data(), bytes.size(), digest.data(), nullptr, EVP_sha256(), nullptr);
    return digest;
}

// A list naming every file twice, as a binary MD5 entry and a text SHA-256 entry, checked on
// each read path while every read of the files misbehaves as the case says. Whatever the reads
// do, a file comes out with its true digest or as unreadable: a FAILED row would be a wrong
// checksum taken for the file's.
class FaultyReadsTest : public testing::TestWithParam<std::tuple<FaultCase, ReadPath>> {
protected:
    void SetUp() override { forceReadAhead(ReadAheadChoice::Parallel); }
    void TearDown() override { forceReadAhead(ReadAheadChoice::ByDevice); }
};

TEST_P(FaultyReadsTest, EveryFileComesOutWithItsDigestOrUnreadable) {
    const auto& [fault, path] = GetParam();
    for (std::uint32_t seed = 1; seed <= 3; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        ScratchFolder scratch(true);
        FaultyReads reads(seed);
        reads.ringWaitsInterrupted = fault.ringWaitsInterrupted;
        reads.fileSystem = path == ReadPath::Ring ? 0xEF53 : FUSE;
        std::string list;
        std::vector<int> expected;
        std::vector<Digest> digests;
        for (std::int64_t size : SIZES) {
            const std::string name = std::to_string(size) + ".bin";
            const std::string bytes = contentOf(size, seed);
            scratch.write(name, bytes);
            reads.plan(scratch / name, fault.faults);
            digests.push_back(referenceMd5(bytes.data(), bytes.size()));
            digests.push_back(sha256Of(asText(bytes)));
            list += toHex(digests[digests.size() - 2]) + " *" + name + "\n";
            list += toHex(digests.back()) + "  " + name + "\n";
            const std::int64_t failFrom = fault.faults.failFrom;
            const int status = failFrom >= 0 && failFrom <= size ? STATUS_UNREADABLE : STATUS_OK;
            expected.insert(expected.end(), {status, status});
        }
        std::FILE* stream = openFileStream(scratch.write("list", list).c_str(), "r");
        ASSERT_NE(stream, nullptr);

        RecordingSink sink;
        {
            ScopedReadCalls installed(reads);
            testing::internal::CaptureStderr();
            if (path == ReadPath::OneAtATime) {
                verifyListOneAtATime(stream, sink, false, false);
            } else {
                verifyList(stream, sink, false, false);
            }
            testing::internal::GetCapturedStderr();
        }
        std::fclose(stream);

        ASSERT_EQ(sink.rows.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            SCOPED_TRACE(sink.rows[i].name + (i % 2 == 0 ? " (MD5)" : " (SHA-256, text)"));
            EXPECT_EQ(sink.rows[i].status, expected[i]);
            if (expected[i] == STATUS_OK && sink.rows[i].actual) {
                EXPECT_EQ(*sink.rows[i].actual, digests[i]);
            }
        }
        if (path == ReadPath::Ring) {
            // The large files went through the ring, or the ring was given up after a bounded
            // number of failed waits.
            if (fault.ringWaitsInterrupted) {
                EXPECT_GT(reads.failedRingWaits(), 0);
                EXPECT_LE(reads.failedRingWaits(), 64);
            } else if (reads.ringReads() == 0) {
                GTEST_SKIP() << "io_uring cannot be had here";
            }
        } else {
            EXPECT_EQ(reads.ringReads(), 0);
        }
    }
}

const FaultCase FAULTS[] = {
    {"ShortReads", {.shortReads = true}},
    {"Interruptions", {.interruptions = true}},
    {"ShortAndInterrupted", {.shortReads = true, .interruptions = true}},
    {"FailAtTheStart", {.failFrom = 0}},
    {"FailPartWay", {.shortReads = true, .failFrom = 70000}},
    {"FailAtAPieceEnd", {.failFrom = 131072}},
    {"SizeToldWrong", {.toldSize = 200000}, false, false},
    {"RingWaitsInterrupted", {.shortReads = true}, true},
};

std::string caseName(const testing::TestParamInfo<std::tuple<FaultCase, ReadPath>>& info) {
    return std::string(std::get<0>(info.param).name) +
           testing::PrintToString(std::get<1>(info.param));
}

std::vector<std::tuple<FaultCase, ReadPath>> everyCase() {
    std::vector<std::tuple<FaultCase, ReadPath>> cases;
    for (const FaultCase& fault : FAULTS) {
        for (ReadPath path : {ReadPath::Ring, ReadPath::Lanes, ReadPath::OneAtATime}) {
            if (path != ReadPath::Ring || fault.onLocalDisks) {
                cases.emplace_back(fault, path);
            }
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultyReadsTest, testing::ValuesIn(everyCase()), caseName);

} // namespace
