#include "engine/lane_hasher.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include <fcntl.h>
#include <openssl/evp.h>
#include <sys/mman.h>
#include <unistd.h>

#include "engine/file_digest.h"
#include "os/file_stream.h"
#include "tests/engine/md5_test_support.h"
#include "tests/support/scratch_folder.h"

namespace {

struct Outcome {
    Digest digest{};
    bool readError = false;
    bool finished = false;
    std::uint64_t hashed = 0;
};

class Recorder : public LaneEvents {
public:
    void hashed(std::uint64_t ticket, std::uint64_t bytes) override {
        outcomes.at(ticket).hashed += bytes;
    }
    void finished(std::uint64_t ticket, const Digest& digest, bool readError) override {
        Outcome& outcome = outcomes.at(ticket);
        EXPECT_FALSE(outcome.finished) << "ticket " << ticket << " finished twice";
        outcome.finished = true;
        outcome.digest = digest;
        outcome.readError = readError;
    }
    std::vector<Outcome> outcomes;
};

struct Input {
    int fd;
    std::int64_t size;
    bool text;
    Algorithm algorithm = Algorithm::Md5;
};

// Feeds every input to the hasher as lanes come free, and runs it until all have ended.
std::vector<Outcome> hashAll(LaneHasher& hasher, const std::vector<Input>& inputs) {
    Recorder recorder;
    recorder.outcomes.resize(inputs.size());
    std::size_t next = 0;
    while (next < inputs.size() || !hasher.idle()) {
        while (next < inputs.size() && hasher.hasFreeLane()) {
            const Input& input = inputs[next];
            hasher.start(input.fd, input.size, input.text, input.algorithm, next);
            ++next;
        }
        hasher.round(recorder);
    }
    return recorder.outcomes;
}

std::string patternText(std::size_t size, std::uint32_t seed) {
    std::string bytes(size, '\0');
    std::mt19937 random(seed);
    for (char& c : bytes) {
        // Many CRs and LFs, so that text mode has pairs to join everywhere.
        const unsigned r = random() % 8;
        c = r == 0 ? '\r' : r == 1 ? '\n' : static_cast<char>(random());
    }
    return bytes;
}

// Runs with each lane path, once with the wide compression for every round (wideFrom 1) and once
// with single-stream code for every round (wideFrom above any width).
class LaneHasherTest : public testing::TestWithParam<std::tuple<Md5LanePath, int>> {
protected:
    void SetUp() override {
        if (!md5LanePathAvailable(std::get<0>(GetParam()))) {
            GTEST_SKIP() << "this CPU cannot run the path";
        }
    }

    std::string write(const std::string& bytes) {
        return scratch_.write(std::to_string(files_++), bytes);
    }

    Input open(const std::string& path, bool text, Algorithm algorithm = Algorithm::Md5) {
        std::int64_t size = -1;
        const int fd = openReadDescriptor(path.c_str(), &size);
        EXPECT_GE(fd, 0) << path;
        return {fd, size, text, algorithm};
    }

    LaneHasher hasher_{std::get<0>(GetParam()), std::get<1>(GetParam())};

private:
    ScratchFolder scratch_;
    int files_ = 0;
};

// Lengths around every place where the padding changes shape (55, 56, 63, 64 and their
// multiples) and around the reads, hashed side by side so that the lanes end at different
// rounds; a long file among short ones keeps one lane busy while the others turn over.
TEST_P(LaneHasherTest, EveryLengthMatchesOpenSsl) {
    ASSERT_TRUE(hasher_.valid());
    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n <= 200; ++n) {
        lengths.push_back(n);
    }
    constexpr std::size_t READ = LaneHasher::READ_SIZE;
    for (std::size_t n : {READ - 1, READ, READ + 1, READ + 55, READ + 56, 3 * READ + 64}) {
        lengths.push_back(n);
    }
    lengths.insert(lengths.begin() + 7, 5 * READ + 17);
    std::vector<std::string> contents;
    std::vector<Input> inputs;
    for (std::size_t n : lengths) {
        contents.push_back(patternText(n, static_cast<std::uint32_t>(n)));
        inputs.push_back(open(write(contents.back()), false));
    }
    const std::vector<Outcome> outcomes = hashAll(hasher_, inputs);
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        SCOPED_TRACE(testing::Message() << lengths[i] << " bytes");
        EXPECT_TRUE(outcomes[i].finished);
        EXPECT_FALSE(outcomes[i].readError);
        EXPECT_EQ(outcomes[i].hashed, lengths[i]);
        EXPECT_EQ(outcomes[i].digest, referenceMd5(contents[i].data(), contents[i].size()));
    }
}

// Text mode gives what an "r" stream gives digestStream, with CRs at the end of a read, at the
// end of the file, doubled, and alone; each case in turn with another algorithm, so that MD5
// lanes and libcrypto lanes run side by side.
TEST_P(LaneHasherTest, TextModeAndEveryAlgorithmMatchTextStreams) {
    constexpr std::size_t READ = LaneHasher::READ_SIZE;
    std::string straddling = patternText(2 * READ + 10, 5);
    straddling[READ - 1] = '\r';
    straddling[READ] = '\n';
    straddling[2 * READ - 1] = '\r';
    straddling[2 * READ] = 'x';
    const std::string cases[] = {"",           "\r",       "\n",
                                 "\r\n",       "a\r",      "a\r\r\n\r",
                                 "\r\r\r\n\n", straddling, patternText(70000, 9) + "\r"};
    std::vector<Input> inputs;
    std::vector<Digest> expected;
    for (const std::string& bytes : cases) {
        const std::string path = write(bytes);
        const auto algorithm = static_cast<Algorithm>(inputs.size() % ALGORITHM_COUNT);
        inputs.push_back(open(path, true, algorithm));
        std::FILE* stream = openFileStream(path.c_str(), "r");
        ASSERT_NE(stream, nullptr);
        Digest digest;
        EXPECT_EQ(digestStream(stream, algorithm, digest), 0);
        std::fclose(stream);
        expected.push_back(digest);
    }
    const std::vector<Outcome> outcomes = hashAll(hasher_, inputs);
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        EXPECT_TRUE(outcomes[i].finished) << "case " << i;
        EXPECT_EQ(outcomes[i].digest, expected[i]) << "case " << i;
    }
}

// A read that fails part-way: this process's memory read up to a page that is not mapped.
// What was read before counts, in both modes; a CR held back at the failure does not.
TEST_P(LaneHasherTest, ReadErrorGivesTheDigestOfWhatWasRead) {
    const long page = sysconf(_SC_PAGESIZE);
    auto* pages = static_cast<char*>(
        mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    ASSERT_NE(pages, MAP_FAILED);
    ASSERT_EQ(munmap(pages + page, page), 0);
    const std::string contents = patternText(page - 1, 3) + "\r";
    std::copy(contents.begin(), contents.end(), pages);
    std::string asText; // every CR LF as LF, the final CR left out
    for (std::size_t i = 0; i + 1 < contents.size(); ++i) {
        if (contents[i] != '\r' || contents[i + 1] != '\n') {
            asText += contents[i];
        }
    }

    std::vector<Input> inputs;
    for (bool text : {false, true}) {
        Input input = open("/proc/self/mem", text);
        const auto address = static_cast<off_t>(reinterpret_cast<std::uintptr_t>(pages));
        ASSERT_EQ(lseek(input.fd, address, SEEK_SET), address);
        inputs.push_back(input);
    }
    inputs.push_back(open("/proc/self/mem", false)); // fails at once: address 0 is not mapped
    inputs.push_back(inputs[0]);                     // the same, through libcrypto
    inputs.back().fd = open("/proc/self/mem", false).fd;
    inputs.back().algorithm = Algorithm::Sha256;
    {
        const auto address = static_cast<off_t>(reinterpret_cast<std::uintptr_t>(pages));
        ASSERT_EQ(lseek(inputs.back().fd, address, SEEK_SET), address);
    }
    const std::vector<Outcome> outcomes = hashAll(hasher_, inputs);
    munmap(pages, page);
    for (const Outcome& outcome : outcomes) {
        EXPECT_TRUE(outcome.finished);
        EXPECT_TRUE(outcome.readError);
    }
    EXPECT_EQ(outcomes[0].digest, referenceMd5(contents.data(), contents.size()));
    EXPECT_EQ(outcomes[1].digest, referenceMd5(asText.data(), asText.size()));
    EXPECT_EQ(outcomes[2].digest, referenceMd5("", 0));
    Digest sha256 = Digest::of(Algorithm::Sha256);
    EVP_Digest(contents.data(), contents.size(), sha256.data(), nullptr, EVP_sha256(), nullptr);
    EXPECT_EQ(outcomes[3].digest, sha256);
}

std::string hasherCaseName(const testing::TestParamInfo<std::tuple<Md5LanePath, int>>& info) {
    const Md5LanePath path = std::get<0>(info.param);
    const char* name = path == Md5LanePath::Portable ? "Portable"
                       : path == Md5LanePath::Avx2   ? "Avx2"
                                                     : "Avx512";
    return std::string(name) + (std::get<1>(info.param) == 1 ? "Wide" : "Single");
}

INSTANTIATE_TEST_SUITE_P(Paths, LaneHasherTest,
                         testing::Combine(testing::Values(Md5LanePath::Portable, Md5LanePath::Avx2,
                                                          Md5LanePath::Avx512),
                                          testing::Values(1, MD5_MAX_LANES + 1)),
                         hasherCaseName);

} // namespace
