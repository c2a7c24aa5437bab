// Lists written by the peer tools of the algorithms beyond coreutils' (b3sum, xxhsum, rhash,
// b2sum -l) are checked whole, and lists written here read back in those tools. The peers do not
// all escape names, so the names here need no escapes; coreutils_lists_test covers those.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/checksum_list.h"
#include "engine/digest_files.h"
#include "engine/list_line.h"
#include "tests/engine/list_files_fixture.h"
#include "tests/support/recording_sink.h"

namespace {

const std::vector<std::string> NAMES = {"data/plain", "data/with space", "data/(paren)"};

class PeerFixture : public ListFilesFixture {
protected:
    PeerFixture() : ListFilesFixture(NAMES) {}
};

struct PeerList {
    const char* what;
    const char* command; // writes the list of the files given after it
    const char* listName;
    Algorithm algorithm;
    std::size_t length = 0; // of the digests; 0: the algorithm's own
};

std::ostream& operator<<(std::ostream& out, const PeerList& list) {
    return out << list.what;
}

class PeerListTest : public PeerFixture, public testing::WithParamInterface<PeerList> {};

// Every entry is checked with the list's algorithm, a changed file FAILS, nothing else counts.
TEST_P(PeerListTest, EveryEntryCheckedAndAChangedFileFails) {
    const PeerList& peer = GetParam();
    const std::string command =
        std::string(peer.command) + " data/* 2>/dev/null > '" + peer.listName + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    write("data/with space", "changed");
    RecordingSink rows;
    EXPECT_EQ(verify(peer.listName, rows), 1) << messages;
    ASSERT_EQ(rows.rows.size(), NAMES.size());
    for (const RecordedRow& row : rows.rows) {
        EXPECT_EQ(row.status, row.name == "data/with space" ? STATUS_FAILED : STATUS_OK)
            << row.name;
        ASSERT_TRUE(row.expected.has_value());
        EXPECT_EQ(row.expected->algorithm, peer.algorithm);
        EXPECT_EQ(row.expected->length,
                  peer.length != 0 ? peer.length : digestLength(peer.algorithm));
    }
    EXPECT_EQ(rows.notUnderstood, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Peers, PeerListTest,
    testing::Values(PeerList{"b3sum", "b3sum", "B3SUMS", Algorithm::Blake3},
                    PeerList{"b3sumDotB3", "b3sum", "release.b3", Algorithm::Blake3},
                    PeerList{"xxhsum", "xxhsum", "list.xxh64", Algorithm::Xxh64},
                    PeerList{"xxhsumTagged", "xxhsum --tag", "list", Algorithm::Xxh64},
                    PeerList{"xxhsumH3", "xxhsum -H3", "list", Algorithm::Xxh3},
                    PeerList{"xxh128sum", "xxh128sum", "list.xxh128", Algorithm::Xxh128},
                    PeerList{"xxh128sumTagged", "xxh128sum --tag", "list", Algorithm::Xxh128},
                    PeerList{"rhashSfv", "rhash --sfv", "disc.sfv", Algorithm::Crc32},
                    PeerList{"rhashSha3", "rhash --sha3-256", "list.sha3-256", Algorithm::Sha3_256},
                    PeerList{"rhashSha3Bsd", "rhash --sha3-512 --bsd", "list", Algorithm::Sha3_512},
                    PeerList{"b2sum256Tagged", "b2sum -l 256 --tag", "list", Algorithm::Blake2b512,
                             32}),
    [](const testing::TestParamInfo<PeerList>& info) { return std::string(info.param.what); });

class UnnamedListTest : public PeerFixture,
                        public testing::WithParamInterface<std::pair<const char*, Algorithm>> {};

// Under a name that says nothing, 64 digits are read as SHA-256; files that do not match are
// tried with SHA3-256 and BLAKE3 and checked OK under the one that matches. A changed file
// matches none and fails as SHA-256, the reading of its digits.
TEST_P(UnnamedListTest, OtherAlgorithmsOfTheLengthAreTried) {
    const auto [tool, algorithm] = GetParam();
    const std::string command = std::string(tool) + " data/* 2>/dev/null > checksums.txt";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    write("data/plain", "changed");
    RecordingSink rows;
    EXPECT_EQ(verify("checksums.txt", rows), 1);
    ASSERT_EQ(rows.rows.size(), NAMES.size());
    for (const RecordedRow& row : rows.rows) {
        const bool changed = row.name == "data/plain";
        EXPECT_EQ(row.status, changed ? STATUS_FAILED : STATUS_OK) << row.name;
        EXPECT_EQ(row.expected->algorithm, changed ? Algorithm::Sha256 : algorithm) << row.name;
        EXPECT_EQ(row.actual->algorithm, row.expected->algorithm) << row.name;
    }
    EXPECT_EQ(messages, "md5sum: SHA256 check failed for 'data/plain'\n");
}

INSTANTIATE_TEST_SUITE_P(Peers, UnnamedListTest,
                         testing::Values(std::pair("b3sum", Algorithm::Blake3),
                                         std::pair("rhash --sha3-256", Algorithm::Sha3_256)),
                         [](const auto& info) { return std::string(info.param.first, 5); });

struct Reader {
    Algorithm algorithm;
    const char* listName; // the report's name, where it must say what the list holds
    const char* check;    // the peer's command that checks it, given the list's name
};

std::ostream& operator<<(std::ostream& out, const Reader& reader) {
    return out << algorithmOptionName(reader.algorithm);
}

class ReadBackTest : public PeerFixture, public testing::WithParamInterface<Reader> {};

// A report generated with each algorithm reads back in the peer tool, and here.
TEST_P(ReadBackTest, ReportReadsBackInThePeer) {
    const Reader& reader = GetParam();
    RecordingSink rows;
    ASSERT_EQ(digestFiles(NAMES, rows, nullptr, reader.algorithm), 0);
    std::string report;
    for (std::size_t i = 0; i < rows.results.size(); ++i) {
        report += formatListLine(rows.results[i].digest, rows.paths[i]) + "\n";
    }
    write(reader.listName, report);
    const std::string command =
        std::string(reader.check) + " '" + reader.listName + "' >/dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << command << "\n" << report;
    RecordingSink back;
    EXPECT_EQ(verify(reader.listName, back), 0) << messages;
    ASSERT_EQ(back.rows.size(), NAMES.size());
    EXPECT_EQ(back.rows[0].expected->algorithm, reader.algorithm);
}

INSTANTIATE_TEST_SUITE_P(
    Peers, ReadBackTest,
    testing::Values(Reader{Algorithm::Blake3, "B3SUMS", "b3sum --quiet -c"},
                    Reader{Algorithm::Xxh64, "report", "xxhsum --strict --quiet -c"},
                    Reader{Algorithm::Xxh3, "report", "xxhsum --strict --quiet -c"},
                    Reader{Algorithm::Xxh128, "report", "xxhsum --strict --quiet -c"},
                    Reader{Algorithm::Crc32, "report.sfv", "rhash --skip-ok -c"},
                    Reader{Algorithm::Sha3_224, "report", "rhash --skip-ok -c"},
                    Reader{Algorithm::Sha3_256, "report", "rhash --skip-ok -c"},
                    Reader{Algorithm::Sha3_384, "report", "rhash --skip-ok -c"},
                    Reader{Algorithm::Sha3_512, "report", "rhash --skip-ok -c"}),
    [](const testing::TestParamInfo<Reader>& info) {
        std::string name = algorithmOptionName(info.param.algorithm);
        std::erase(name, '-');
        return name;
    });

} // namespace
