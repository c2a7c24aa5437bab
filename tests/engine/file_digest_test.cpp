#include "engine/file_digest.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/types.h>
#include <unistd.h>

#include "tests/engine/md5_test_support.h"
#include "tests/engine/stopping_meter.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes patternBytes(std::size_t size, std::uint32_t seed) {
    Bytes data(size);
    std::mt19937 random(seed);
    for (auto& byte : data) {
        byte = static_cast<std::uint8_t>(random());
    }
    return data;
}

// A file with the given contents that is removed again at the end of the test.
class TempFile {
public:
    explicit TempFile(const Bytes& contents) {
        path_ = testing::TempDir() + "digest_XXXXXX";
        const int fd = mkstemp(path_.data());
        EXPECT_GE(fd, 0);
        EXPECT_EQ(write(fd, contents.data(), contents.size()),
                  static_cast<ssize_t>(contents.size()));
        close(fd);
    }
    ~TempFile() { std::remove(path_.c_str()); }
    const char* path() const { return path_.c_str(); }

private:
    std::string path_;
};

// A stream that hands out data at most chunk bytes per read and fails every read once failAt
// bytes have been delivered.
struct ScriptedSource {
    Bytes data;
    std::size_t failAt;
    std::size_t chunk = 1 << 20;
    std::size_t done = 0;
};

std::FILE* openScripted(ScriptedSource& source) {
    cookie_io_functions_t functions{};
    functions.read = [](void* cookie, char* out, std::size_t size) -> ssize_t {
        auto& s = *static_cast<ScriptedSource*>(cookie);
        if (s.done >= s.failAt) {
            return -1;
        }
        std::size_t n = std::min({size, s.chunk, s.failAt - s.done, s.data.size() - s.done});
        std::memcpy(out, s.data.data() + s.done, n);
        s.done += n;
        return static_cast<ssize_t>(n);
    };
    return fopencookie(&source, "r", functions);
}

struct Outcome {
    int result;
    Digest digest;
};

Outcome digestFile(std::FILE* stream) {
    Outcome outcome{99, {}};
    outcome.result = digestStream(stream, outcome.digest);
    return outcome;
}

TEST(DigestStream, EmptyStreamGivesTheEmptyMessageDigest) {
    TempFile file({});
    std::FILE* stream = std::fopen(file.path(), "rb");
    ASSERT_NE(stream, nullptr);
    Outcome outcome = digestFile(stream);
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(toHex(outcome.digest), "d41d8cd98f00b204e9800998ecf8427e");
    // Already at its end: the same again.
    outcome = digestFile(stream);
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(toHex(outcome.digest), "d41d8cd98f00b204e9800998ecf8427e");
    std::fclose(stream);
}

// Sizes on and off multiples of the 1024-byte read and of the stream's buffers, small and large.
TEST(DigestStream, FileSizesAroundReadAndBufferBoundaries) {
    for (std::size_t size :
         {1, 1023, 1024, 1025, 2048, 8192, 8193, 131072, 131072 + 1024, 3 * 131072 + 17}) {
        const Bytes data = patternBytes(size, static_cast<std::uint32_t>(size));
        TempFile file(data);
        std::FILE* stream = std::fopen(file.path(), "rb");
        ASSERT_NE(stream, nullptr);
        const Outcome outcome = digestFile(stream);
        EXPECT_EQ(outcome.result, 0) << size;
        EXPECT_EQ(outcome.digest, referenceMd5(data.data(), size)) << size;
        std::fclose(stream);
    }
}

// Our code hashes exactly the bytes the stream delivers: no line-end or end-of-file character
// is treated specially.
TEST(DigestStream, HashesEveryByteTheStreamDelivers) {
    const Bytes data = {'a', '\r', '\n', 'b', '\n', 0x00, 0x1a, 'c', 0xff, '\r'};
    TempFile file(data);
    for (const char* mode : {"rb", "r"}) {
        std::FILE* stream = std::fopen(file.path(), mode);
        ASSERT_NE(stream, nullptr);
        const Outcome outcome = digestFile(stream);
        EXPECT_EQ(outcome.result, 0) << mode;
        EXPECT_EQ(outcome.digest, referenceMd5(data.data(), data.size())) << mode;
        std::fclose(stream);
    }
}

TEST(DigestStream, ShortReadsDoNotEndTheHashing) {
    ScriptedSource source{patternBytes(5000, 1), SIZE_MAX, 7};
    std::FILE* stream = openScripted(source);
    const Outcome outcome = digestFile(stream);
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.digest, referenceMd5(source.data.data(), 5000));
    std::fclose(stream);
}

TEST(DigestStream, ReadErrorGivesMinusOneAndTheDigestOfWhatWasRead) {
    for (std::size_t failAt : {0, 1000, 3000, 20000}) {
        ScriptedSource source{patternBytes(50000, 2), failAt};
        std::FILE* stream = openScripted(source);
        const Outcome outcome = digestFile(stream);
        EXPECT_EQ(outcome.result, -1) << failAt;
        EXPECT_EQ(outcome.digest, referenceMd5(source.data.data(), failAt)) << failAt;
        std::fclose(stream);
    }
}

// Hashing starts where the stream stands, including a stream already read from and one with a
// character pushed back before anything was read.
TEST(DigestStream, StartsAtTheStreamsPosition) {
    const Bytes data = patternBytes(300000, 3);
    TempFile file(data);

    std::FILE* stream = std::fopen(file.path(), "rb");
    ASSERT_NE(stream, nullptr);
    char head[10];
    ASSERT_EQ(std::fread(head, 1, sizeof head, stream), sizeof head);
    EXPECT_EQ(digestFile(stream).digest, referenceMd5(data.data() + 10, data.size() - 10));
    std::fclose(stream);

    const int fd = open(file.path(), O_RDONLY);
    ASSERT_GE(lseek(fd, 100, SEEK_SET), 0);
    stream = fdopen(fd, "rb");
    ASSERT_EQ(std::ungetc('X', stream), 'X');
    Bytes expected = {'X'};
    expected.insert(expected.end(), data.begin() + 100, data.end());
    EXPECT_EQ(digestFile(stream).digest, referenceMd5(expected.data(), expected.size()));
    std::fclose(stream);
}

// A large file is read through a larger buffer than the stream's own; the stream must work on
// as before once digestStream returns, also while another file is hashed.
TEST(DigestStream, StreamStaysUsableAfterHashing) {
    const Bytes first = patternBytes(400000, 4);
    const Bytes second = patternBytes(500000, 5);
    TempFile firstFile(first);
    TempFile secondFile(second);
    std::FILE* stream = std::fopen(firstFile.path(), "rb");
    ASSERT_NE(stream, nullptr);
    const Outcome outcome = digestFile(stream);
    EXPECT_EQ(outcome.digest, referenceMd5(first.data(), first.size()));

    std::rewind(stream);
    Bytes readBack(first.size());
    ASSERT_EQ(std::fread(readBack.data(), 1, 1000, stream), 1000u);
    std::FILE* other = std::fopen(secondFile.path(), "rb");
    EXPECT_EQ(digestFile(other).digest, referenceMd5(second.data(), second.size()));
    std::fclose(other);
    ASSERT_EQ(std::fread(readBack.data() + 1000, 1, first.size(), stream), first.size() - 1000);
    EXPECT_EQ(readBack, first);

    std::rewind(stream);
    EXPECT_EQ(digestFile(stream).digest, outcome.digest);
    std::fclose(stream);
}

TEST(DigestStream, ThreadsHashingLargeFilesAtOnce) {
    std::vector<Bytes> contents;
    for (std::uint32_t i = 0; i < 2; ++i) {
        contents.push_back(patternBytes(200000 + i, 10 + i));
    }
    TempFile files[2] = {TempFile(contents[0]), TempFile(contents[1])};
    int wrong[2] = {0, 0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 2; ++t) {
        threads.emplace_back([&, t] {
            const Digest expected = referenceMd5(contents[t].data(), contents[t].size());
            for (int round = 0; round < 20; ++round) {
                std::FILE* stream = std::fopen(files[t].path(), "rb");
                wrong[t] += digestFile(stream).digest != expected;
                std::fclose(stream);
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(wrong[0] + wrong[1], 0);
}

// A watcher hears of every 1024-byte piece, so it is asked often within one large file; when it
// asks to stop, nothing more is read.
TEST(DigestStream, MeterHearsEveryPieceAndStopsTheReadAtTheNext) {
    const Bytes data = patternBytes(300 * 1024 + 7, 11);
    TempFile file(data);
    std::FILE* stream = std::fopen(file.path(), "rb");
    ASSERT_NE(stream, nullptr);
    // The caller names the file before its bytes come, as the callers of digestStream do.
    StoppingMeter watcher;
    watcher.beginFile(file.path(), -1);
    Digest digest{};
    EXPECT_EQ(digestStream(stream, digest, &watcher), 0);
    EXPECT_EQ(digest, referenceMd5(data.data(), data.size()));
    EXPECT_EQ(watcher.total, data.size());
    EXPECT_EQ(watcher.largest, 1024u);
    EXPECT_EQ(watcher.calls, 301u);

    std::rewind(stream);
    StoppingMeter stopper(10 * 1024 + 1);
    stopper.beginFile(file.path(), -1);
    EXPECT_EQ(digestStream(stream, digest, &stopper), DIGEST_STOPPED);
    EXPECT_EQ(stopper.total, 11 * 1024u);
    EXPECT_EQ(std::ftell(stream), 11 * 1024);
    std::fclose(stream);
}

TEST(HexForm, ZerosAndLowercasePairs) {
    Digest digest{};
    EXPECT_EQ(toHex(digest), std::string(32, '0'));
    digest[0] = 0xab;
    digest[15] = 0x0f;
    EXPECT_EQ(toHex(digest), "ab00000000000000000000000000000f");
}

TEST(HexForm, EveryByteValueRoundTrips) {
    for (int first = 0; first < 256; first += 16) {
        Digest digest;
        for (int i = 0; i < 16; ++i) {
            digest[i] = static_cast<std::uint8_t>(first + i);
        }
        const std::string hex = toHex(digest);
        ASSERT_EQ(hex.size(), 32u);
        for (int i = 0; i < 16; ++i) {
            char expected[12];
            std::snprintf(expected, sizeof expected, "%02x", first + i);
            EXPECT_EQ(hex.substr(2 * i, 2), expected);
            EXPECT_EQ(hexDigitValue(hex[2 * i]) * 16 + hexDigitValue(hex[2 * i + 1]), first + i);
        }
    }
}

TEST(HexForm, DigitValuesAcceptOnlyLowercaseHex) {
    for (int c = -128; c < 256; ++c) {
        int expected = -1;
        if (c >= '0' && c <= '9') {
            expected = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            expected = c - 'a' + 10;
        }
        EXPECT_EQ(hexDigitValue(c), expected) << c;
    }
    EXPECT_EQ(hexDigitValue('A'), -1);
    EXPECT_EQ(hexDigitValue('F'), -1);
    EXPECT_EQ(hexDigitValue(static_cast<signed char>(0x80)), -1);
    EXPECT_EQ(hexDigitValue(static_cast<signed char>(0xe1)), -1); // 'a' + 0x80
    EXPECT_EQ(hexDigitValue(EOF), -1);
}

} // namespace
