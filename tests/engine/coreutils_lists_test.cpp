// Lists written by the coreutils tools are checked whole, and lists written here read back in
// those tools: the two directions of every algorithm, names with spaces, a backslash and a line
// feed included.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include <unistd.h>

#include "engine/checksum_list.h"
#include "engine/digest_files.h"
#include "engine/list_line.h"
#include "tests/engine/list_files_fixture.h"
#include "tests/support/recording_sink.h"

namespace {

const std::vector<std::string> NAMES = {"data/plain", "data/with space", "data/back\\slash",
                                        "data/line\nfeed"};

// What a check found, and the report of the files hashed as a list's lines.
struct Rows : RecordingSink {
    Algorithm algorithm() const {
        EXPECT_FALSE(rows.empty());
        return rows.empty() ? Algorithm::Md5 : rows.back().expected->algorithm;
    }
    std::string report() const {
        std::string lines;
        for (std::size_t i = 0; i < results.size(); ++i) {
            EXPECT_TRUE(results[i].opened && !results[i].readError) << paths[i];
            lines += formatListLine(results[i].digest, paths[i]) + "\r\n";
        }
        return lines;
    }
};

class CoreutilsFixture : public ListFilesFixture {
protected:
    CoreutilsFixture() : ListFilesFixture(NAMES) {}
};

struct Tool {
    const char* command;
    Algorithm algorithm;
    const char* listName; // b2sum's lists say what they are by their name
};
const Tool TOOLS[] = {
    {"md5sum", Algorithm::Md5, "MD5SUMS"},          {"sha1sum", Algorithm::Sha1, "SHA1SUMS"},
    {"sha224sum", Algorithm::Sha224, "SHA224SUMS"}, {"sha256sum", Algorithm::Sha256, "SHA256SUMS"},
    {"sha384sum", Algorithm::Sha384, "SHA384SUMS"}, {"sha512sum", Algorithm::Sha512, "SHA512SUMS"},
    {"b2sum", Algorithm::Blake2b512, "B2SUMS"},
};

class ToolListTest : public CoreutilsFixture,
                     public testing::WithParamInterface<std::tuple<Tool, bool>> {};

// Every entry is checked with the list's algorithm, a changed file FAILS, nothing else counts.
TEST_P(ToolListTest, EveryEntryCheckedAndAChangedFileFails) {
    const auto [tool, tagged] = GetParam();
    const std::string command =
        std::string(tool.command) + (tagged ? " --tag" : "") + " data/* > " + tool.listName;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    write("data/with space", "changed");
    Rows rows;
    EXPECT_EQ(verify(tool.listName, rows), 1);
    ASSERT_EQ(rows.rows.size(), NAMES.size());
    for (const RecordedRow& row : rows.rows) {
        EXPECT_EQ(row.status, row.name == "data/with space" ? STATUS_FAILED : STATUS_OK)
            << row.name;
    }
    EXPECT_EQ(rows.algorithm(), tool.algorithm);
    EXPECT_EQ(rows.notUnderstood, 0);
    EXPECT_EQ(messages, std::string("md5sum: ") + algorithmTag(tool.algorithm) +
                            " check failed for 'data/with space'\n");
}

INSTANTIATE_TEST_SUITE_P(Tools, ToolListTest,
                         testing::Combine(testing::ValuesIn(TOOLS), testing::Bool()),
                         [](const testing::TestParamInfo<std::tuple<Tool, bool>>& info) {
                             return std::string(std::get<0>(info.param).command) +
                                    (std::get<1>(info.param) ? "Tagged" : "");
                         });

// A distribution's CHECKSUM file: tagged lines and a comment inside a clearsign envelope.
TEST_F(CoreutilsFixture, ClearsignedChecksumFile) {
    ASSERT_EQ(std::system("{ echo '-----BEGIN PGP SIGNED MESSAGE-----'; echo 'Hash: SHA256'; echo;"
                          " echo '# data: 4 files'; sha256sum --tag data/*;"
                          " echo '-----BEGIN PGP SIGNATURE-----'; echo;"
                          " echo 'iQIzBAEBCAAdFiEEabc+/def=='; echo '=x0Yz';"
                          " echo '-----END PGP SIGNATURE-----'; } > Fedora-CHECKSUM"),
              0);
    write("data/plain", "changed");
    Rows rows;
    EXPECT_EQ(verify("Fedora-CHECKSUM", rows), 1);
    EXPECT_EQ(rows.rows.size(), NAMES.size());
    EXPECT_EQ(rows.notUnderstood, 0);
    EXPECT_EQ(messages, "md5sum: SHA256 check failed for 'data/plain'\n");
}

class GenerateTest : public CoreutilsFixture, public testing::WithParamInterface<Tool> {};

// A report generated with each algorithm reads back in the matching tool, in its strict mode.
TEST_P(GenerateTest, ReportReadsBackInTheTool) {
    const Tool& tool = GetParam();
    Rows rows;
    ASSERT_EQ(digestFiles(NAMES, rows, nullptr, tool.algorithm), 0);
    write("report", rows.report());
    const std::string command = std::string(tool.command) + " --strict --quiet -c report";
    EXPECT_EQ(std::system(command.c_str()), 0) << rows.report();
    // And here, under a name that says nothing of the algorithm.
    Rows back;
    EXPECT_EQ(verify("report", back), 0);
    EXPECT_EQ(back.rows.size(), NAMES.size());
    EXPECT_EQ(back.algorithm(), tool.algorithm);
}

INSTANTIATE_TEST_SUITE_P(Tools, GenerateTest, testing::ValuesIn(TOOLS),
                         [](const testing::TestParamInfo<Tool>& info) {
                             return std::string(info.param.command);
                         });

} // namespace
