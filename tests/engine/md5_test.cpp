#include "engine/md5.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "engine/file_digest.h"
#include "engine/md5_dispatch.h"
#include "tests/engine/md5_test_support.h"

namespace {

Digest md5Whole(const std::vector<std::uint8_t>& data) {
    Md5Context context;
    context.init();
    context.update(data.data(), static_cast<std::uint32_t>(data.size()));
    Digest digest;
    context.finish(digest);
    return digest;
}

Digest md5ByteByByte(const std::vector<std::uint8_t>& data) {
    Md5Context context;
    context.init();
    for (std::uint8_t byte : data) {
        context.update(&byte, 1);
    }
    Digest digest;
    context.finish(digest);
    return digest;
}

Digest md5InRandomPieces(const std::vector<std::uint8_t>& data, std::mt19937& random) {
    Md5Context context;
    context.init();
    std::size_t done = 0;
    while (done < data.size()) {
        const std::size_t left = data.size() - done;
        std::size_t piece = std::uniform_int_distribution<std::size_t>(0, 150)(random);
        piece = piece < left ? piece : left;
        context.update(data.data() + done, static_cast<std::uint32_t>(piece));
        done += piece;
    }
    Digest digest;
    context.finish(digest);
    return digest;
}

std::vector<std::uint8_t> patternBytes(std::size_t size, std::uint32_t seed) {
    std::vector<std::uint8_t> data(size);
    std::mt19937 random(seed);
    for (auto& byte : data) {
        byte = static_cast<std::uint8_t>(random());
    }
    return data;
}

bool allZero(const Md5Context& context) {
    static const Md5Context zero{};
    return std::memcmp(&context, &zero, sizeof context) == 0;
}

using Md5KnownAnswers = ForcedMd5Path;

TEST_P(Md5KnownAnswers, Rfc1321Suite) {
    const std::pair<const char*, const char*> suite[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& [message, expected] : suite) {
        Md5Context context;
        context.init();
        context.update(message, static_cast<std::uint32_t>(std::strlen(message)));
        Digest digest;
        context.finish(digest);
        EXPECT_EQ(toHex(digest), expected) << '"' << message << '"';
    }
}

// Whole, byte by byte and in random pieces that cross block boundaries, at every length up to
// 200 and around the block and padding boundaries beyond.
TEST_P(Md5KnownAnswers, EveryWayOfFeedingMatchesOpenSsl) {
    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n <= 200; ++n) {
        lengths.push_back(n);
    }
    for (std::size_t n :
         {247, 248, 255, 256, 257, 1000, 1023, 1024, 1025, 4095, 4096, 4097, 65543}) {
        lengths.push_back(n);
    }
    std::mt19937 random(1321);
    for (std::size_t n : lengths) {
        const auto data = patternBytes(n, static_cast<std::uint32_t>(n));
        const Digest expected = referenceMd5(data.data(), data.size());
        EXPECT_EQ(md5Whole(data), expected) << n << " bytes whole";
        EXPECT_EQ(md5ByteByByte(data), expected) << n << " bytes one at a time";
        EXPECT_EQ(md5InRandomPieces(data, random), expected) << n << " bytes in pieces";
    }
}

// Whole blocks are read straight from the caller's memory, which may have any alignment.
TEST_P(Md5KnownAnswers, UnalignedInput) {
    const auto data = patternBytes(64 * 20 + 3, 7);
    for (std::size_t offset = 1; offset < 4; ++offset) {
        Md5Context context;
        context.init();
        context.update(data.data() + offset, 64 * 20);
        Digest digest;
        context.finish(digest);
        EXPECT_EQ(digest, referenceMd5(data.data() + offset, 64 * 20)) << "offset " << offset;
    }
}

INSTANTIATE_FOR_EVERY_MD5_PATH(Md5KnownAnswers);

TEST(Md5Context, EmptyUpdateChangesNothing) {
    const auto data = patternBytes(100, 3);
    for (std::uint32_t fed : {0u, 37u, 64u, 100u}) {
        Md5Context context;
        context.init();
        context.update(data.data(), fed);
        const Md5Context before = context;
        context.update(data.data(), 0);
        context.update(nullptr, 0);
        EXPECT_EQ(std::memcmp(&before, &context, sizeof context), 0) << fed << " bytes fed";
    }
}

TEST(Md5Context, CountsBitsAndKeepsPendingBytesInFront) {
    Md5Context context;
    context.init();
    context.update("0123456789", 10);
    context.update("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ..!?", 56);
    EXPECT_EQ(context.bitCount[0], 66u * 8);
    EXPECT_EQ(context.bitCount[1], 0u);
    EXPECT_EQ(std::memcmp(context.buffer, "!?", 2), 0); // 66 bytes: one block done, 2 pending
}

TEST(Md5Context, FinishWipesTheContextAndInitRestartsIt) {
    for (std::size_t n : {0, 55, 56, 63, 64, 100}) {
        const auto data = patternBytes(n, 11);
        Md5Context context;
        context.init();
        context.update(data.data(), static_cast<std::uint32_t>(n));
        Digest digest;
        context.finish(digest);
        EXPECT_TRUE(allZero(context)) << n << " bytes";

        context.init();
        context.update(data.data(), static_cast<std::uint32_t>(n));
        Digest again;
        context.finish(again);
        EXPECT_EQ(again, digest) << n << " bytes";
    }
}

TEST(Md5Dispatch, ForcingAPathSwitchesToItAndDefaultReturns) {
    ASSERT_TRUE(md5ForcePath(Md5Path::Portable));
    EXPECT_EQ(md5ActivePath(), Md5Path::Portable);
    if (md5PathAvailable(Md5Path::Avx512)) {
        ASSERT_TRUE(md5ForcePath(Md5Path::Avx512));
        EXPECT_EQ(md5ActivePath(), Md5Path::Avx512);
    } else {
        EXPECT_FALSE(md5ForcePath(Md5Path::Avx512));
        EXPECT_EQ(md5ActivePath(), Md5Path::Portable);
    }
    md5UseDefaultPath();
    EXPECT_EQ(md5ActivePath(), md5DefaultPath());
    EXPECT_TRUE(md5PathAvailable(md5DefaultPath()));
}

} // namespace
