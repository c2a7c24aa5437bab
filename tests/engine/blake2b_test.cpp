#include "engine/blake2b.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include <openssl/evp.h>

#include "engine/file_digest.h"

namespace {

// Byte i of a message is i % 251, so that no block repeats another.
std::vector<std::uint8_t> pattern(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i % 251);
    }
    return bytes;
}

// Hashes bytes in pieces of the given sizes, taken in turn, with the same context each time.
Digest hashInPieces(Blake2b& context, std::size_t length, const std::vector<std::uint8_t>& bytes,
                    const std::vector<std::size_t>& pieces) {
    EXPECT_TRUE(context.init(length));
    std::size_t done = 0;
    for (std::size_t turn = 0; done < bytes.size(); ++turn) {
        const std::size_t piece = std::min(pieces[turn % pieces.size()], bytes.size() - done);
        context.update(bytes.data() + done, piece);
        done += piece;
    }
    Digest digest;
    context.finish(digest);
    return digest;
}

struct KnownAnswer {
    std::size_t bits;
    std::size_t size; // of pattern(size)
    const char* hex;  // as b2sum -l BITS gives it
};

std::ostream& operator<<(std::ostream& out, const KnownAnswer& answer) {
    return out << answer.bits << " bits of " << answer.size << " bytes";
}

class Blake2bKnownAnswerTest : public testing::TestWithParam<KnownAnswer> {};

// Whole, byte by byte, and in pieces that straddle the 128-byte blocks, with one context reused:
// every way gives b2sum's digest.
TEST_P(Blake2bKnownAnswerTest, MatchesB2sum) {
    const KnownAnswer& answer = GetParam();
    const std::vector<std::uint8_t> bytes = pattern(answer.size);
    Blake2b context;
    for (const std::vector<std::size_t>& pieces :
         std::vector<std::vector<std::size_t>>{{answer.size + 1}, {1}, {100, 28, 129, 1}}) {
        const Digest digest = hashInPieces(context, answer.bits / 8, bytes, pieces);
        EXPECT_EQ(digest.algorithm, Algorithm::Blake2b512);
        EXPECT_EQ(toHex(digest), answer.hex) << "pieces of " << pieces[0];
    }
}

INSTANTIATE_TEST_SUITE_P(
    B2sumLengths, Blake2bKnownAnswerTest,
    testing::Values(
        KnownAnswer{8, 0, "2e"}, KnownAnswer{8, 3, "a6"}, KnownAnswer{16, 1000, "ee8e"},
        KnownAnswer{160, 127, "535975c8d8c5dd9ed14a9204757b06783dd7b1fb"},
        KnownAnswer{256, 128, "c3582f71ebb2be66fa5dd750f80baae97554f3b015663c8be377cfcb2488c1d1"},
        KnownAnswer{256, 129, "f7f3c46ba2564ff4c4c162da1f5b605f9f1c4aa6a20652a9f9a337c1a2f5b9c9"},
        KnownAnswer{384, 255,
                    "d78992d7f0f13606db808f2ab30500703315ed15b6e6e65de461c16008590f5849dca06d9313c3"
                    "752fac9e1054ddf406"},
        KnownAnswer{504, 256,
                    "61ca82ff7f8a775b093cb412f53a2150fb12f29dcd80b452d3a6e94fa02c4ce07239ee96d6dba7"
                    "d04574275faba2f883f5bf8389cdf43da1b8db29b2bdf8f7"}));

// At 512 bits, every message size across four blocks, in random pieces, against libcrypto.
TEST(Blake2bTest, FullLengthMatchesLibcrypto) {
    std::mt19937 random(7);
    Blake2b context;
    for (std::size_t size = 0; size <= 4 * Blake2b::BLOCK_BYTES + 1; ++size) {
        std::vector<std::uint8_t> bytes(size);
        for (std::uint8_t& byte : bytes) {
            byte = static_cast<std::uint8_t>(random());
        }
        Digest expected = Digest::of(Algorithm::Blake2b512);
        EVP_Digest(bytes.data(), size, expected.data(), nullptr, EVP_blake2b512(), nullptr);
        const std::vector<std::size_t> pieces = {random() % 200 + 1, random() % 200 + 1};
        EXPECT_EQ(hashInPieces(context, Blake2b::MAX_LENGTH, bytes, pieces), expected) << size;
    }
}

} // namespace
