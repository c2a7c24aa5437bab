#include "engine/pasted_checksum.h"

#include <gtest/gtest.h>

namespace {

const std::string SHA256 = "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";
const std::string MD5 = "d41d8cd98f00b204e9800998ecf8427e";
const std::string LONG = std::string(64, 'a') + std::string(64, 'b');

unsigned bits(std::initializer_list<Algorithm> algorithms) {
    unsigned result = 0;
    for (Algorithm algorithm : algorithms) {
        result |= 1u << static_cast<unsigned>(algorithm);
    }
    return result;
}

struct PasteCase {
    std::string text;
    std::string hex; // empty: no checksum in the text
    unsigned algorithms;
};

class PastedChecksumTest : public testing::TestWithParam<PasteCase> {};

TEST_P(PastedChecksumTest, ReadsTheFormsPeoplePaste) {
    const PasteCase& c = GetParam();
    PastedChecksum checksum;
    ASSERT_EQ(parsePastedChecksum(c.text, checksum), !c.hex.empty()) << c.text;
    if (!c.hex.empty()) {
        EXPECT_EQ(checksum.hex, c.hex);
        EXPECT_EQ(checksum.algorithms, c.algorithms);
    }
}

const unsigned SHA256_ONLY = bits({Algorithm::Sha256});
// Bare digits may be of any cryptographic algorithm of their length.
const unsigned DIGITS_64 = bits({Algorithm::Sha256, Algorithm::Sha3_256, Algorithm::Blake3});
const unsigned DIGITS_128 = bits({Algorithm::Sha512, Algorithm::Blake2b512, Algorithm::Sha3_512});

INSTANTIATE_TEST_SUITE_P(
    Forms, PastedChecksumTest,
    testing::Values(
        PasteCase{"  " + SHA256 + "\n", SHA256, DIGITS_64},
        PasteCase{"SHA256: " + SHA256, SHA256, SHA256_ONLY},
        PasteCase{"sha256=" + SHA256, SHA256, SHA256_ONLY},
        PasteCase{"SHA-256 " + SHA256, SHA256, SHA256_ONLY},
        PasteCase{"MD5 " + MD5, MD5, bits({Algorithm::Md5})},
        PasteCase{"D41D8CD98F00B204E9800998ECF8427E", MD5, bits({Algorithm::Md5})},
        PasteCase{SHA256 + "  ubuntu.iso\nnext line", SHA256, DIGITS_64},
        PasteCase{"SHA256 (ubuntu.iso) = " + SHA256, SHA256, SHA256_ONLY},
        PasteCase{LONG, LONG, DIGITS_128},
        PasteCase{"BLAKE2b: " + LONG, LONG, bits({Algorithm::Blake2b512})},
        // A list line's 128 digits may be any of its length's, whatever the list was.
        PasteCase{LONG + "  a.iso", LONG, DIGITS_128},
        PasteCase{"BLAKE3 (a.iso) = " + SHA256, SHA256, bits({Algorithm::Blake3})},
        PasteCase{"XXH64: 0123456789abcdef", "0123456789abcdef", bits({Algorithm::Xxh64})},
        // Never an XXH or CRC checksum by its length alone.
        PasteCase{"0123456789abcdef", "", 0},
        PasteCase{"BLAKE2b-256 (a.iso) = " + SHA256, SHA256, bits({Algorithm::Blake2b512})},
        PasteCase{"MD5: " + SHA256, "", 0}, PasteCase{SHA256 + "0", "", 0},
        PasteCase{"hello", "", 0}, PasteCase{"", "", 0}));

TEST(PastedChecksumMatch, TheDigitsAndTheAlgorithmMustAgree) {
    PastedChecksum checksum;
    ASSERT_TRUE(parsePastedChecksum(MD5, checksum));
    Digest empty = Digest::of(Algorithm::Md5);
    const std::uint8_t bytes[] = {0xd4, 0x1d, 0x8c, 0xd9, 0x8f, 0x00, 0xb2, 0x04,
                                  0xe9, 0x80, 0x09, 0x98, 0xec, 0xf8, 0x42, 0x7e};
    std::copy(std::begin(bytes), std::end(bytes), empty.data());
    EXPECT_TRUE(checksum.matches(empty));
    empty[15] ^= 1;
    EXPECT_FALSE(checksum.matches(empty));
    EXPECT_FALSE(checksum.matches(Digest::of(Algorithm::Sha256)));
}

// A pasted BLAKE2b-256 line finds the row of that digest, not a SHA-256 row of the same digits.
TEST(PastedChecksumMatch, Blake2bOfAShorterLength) {
    PastedChecksum checksum;
    ASSERT_TRUE(parsePastedChecksum("BLAKE2b-256 (a) = " + SHA256, checksum));
    Digest blake2b = Digest::of(Algorithm::Blake2b512, 32);
    Digest sha256 = Digest::of(Algorithm::Sha256);
    for (std::size_t i = 0; i < 32; ++i) {
        blake2b[i] = sha256[i] =
            static_cast<std::uint8_t>(std::stoi(SHA256.substr(2 * i, 2), nullptr, 16));
    }
    EXPECT_TRUE(checksum.matches(blake2b));
    EXPECT_FALSE(checksum.matches(sha256));
}

} // namespace
