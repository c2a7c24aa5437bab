#include "engine/md5.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "tests/engine/md5_test_support.h"

// The 32-bit low word of the bit count wraps after 2^29 bytes (512 MiB); these inputs go past it.

namespace {

constexpr std::uint32_t WRAP = std::uint32_t{1} << 29; // bytes at which bitCount[0] wraps

// 512 MiB + 64 bytes of cheap pseudo-random data, shared by every case.
const std::vector<std::uint8_t>& bigInput() {
    static const std::vector<std::uint8_t> data = [] {
        std::vector<std::uint8_t> bytes(WRAP + 64);
        std::uint64_t x = 0x9e3779b97f4a7c15;
        for (std::size_t i = 0; i < bytes.size(); i += 8) {
            x ^= x << 13;
            x ^= x >> 7;
            x ^= x << 17;
            for (std::size_t k = 0; k < 8 && i + k < bytes.size(); ++k) {
                bytes[i + k] = static_cast<std::uint8_t>(x >> (8 * k));
            }
        }
        return bytes;
    }();
    return data;
}

// OpenSSL's digest of the pieces fed one after the other, worked out once for all paths.
struct Piece {
    std::size_t offset;
    std::size_t size;
};

Digest referenceOf(std::initializer_list<Piece> pieces) {
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    EVP_DigestInit_ex(context, EVP_md5(), nullptr);
    for (const Piece& piece : pieces) {
        EVP_DigestUpdate(context, bigInput().data() + piece.offset, piece.size);
    }
    Digest digest{};
    unsigned int length = 0;
    EVP_DigestFinal_ex(context, digest.data(), &length);
    EVP_MD_CTX_free(context);
    return digest;
}

using Md5BitCountCarry = ForcedMd5Path;

// Many updates of an odd size, so that the wrap falls inside a call with bytes pending.
TEST_P(Md5BitCountCarry, ManyUpdatesCarryIntoTheHighWord) {
    const auto& data = bigInput();
    const std::uint32_t total = WRAP + 40;
    Md5Context context;
    context.init();
    std::uint32_t done = 0;
    while (done < total) {
        const std::uint32_t piece = std::min<std::uint32_t>(1000003, total - done);
        context.update(data.data() + done, piece);
        done += piece;
        if (done < WRAP) {
            ASSERT_EQ(context.bitCount[1], 0u) << done;
        }
    }
    EXPECT_EQ(context.bitCount[0], 40u * 8);
    EXPECT_EQ(context.bitCount[1], 1u);
    Digest digest;
    context.finish(digest);
    static const Digest expected = referenceOf({{0, total}});
    EXPECT_EQ(digest, expected);
}

// One update of 2^29 bytes or more adds its length >> 29 to the high word directly; the second
// update here also wraps the low word (2^29 - 8 bytes before it), so the high word gets both.
TEST_P(Md5BitCountCarry, HugeUpdatesAddTheirHighBits) {
    const auto& data = bigInput();
    Md5Context context;
    context.init();
    context.update(data.data(), WRAP + 24);
    EXPECT_EQ(context.bitCount[0], 24u * 8);
    EXPECT_EQ(context.bitCount[1], 1u);
    Digest digest;
    context.finish(digest);
    static const Digest expectedOne = referenceOf({{0, WRAP + 24}});
    EXPECT_EQ(digest, expectedOne);

    context.init();
    context.update(data.data(), WRAP - 8);
    EXPECT_EQ(context.bitCount[0], 0xffffffc0u);
    context.update(data.data() + 3, WRAP + 16);
    EXPECT_EQ(context.bitCount[0], 64u);
    EXPECT_EQ(context.bitCount[1], 2u);
    context.finish(digest);
    static const Digest expectedTwo = referenceOf({{0, WRAP - 8}, {3, WRAP + 16}});
    EXPECT_EQ(digest, expectedTwo);
}

INSTANTIATE_FOR_EVERY_MD5_PATH(Md5BitCountCarry);

} // namespace
