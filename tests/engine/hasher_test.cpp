// Known answers for the algorithms hashed through Hasher that have no test file of their own:
// the published values of each (NIST's SHA-3 examples, BLAKE3's test_vectors.json, the peers'
// outputs for XXH and CRC32), each input given whole and in pieces that cross every boundary.
#include "engine/hasher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/blake3_chunks.h"
#include "engine/file_digest.h"
#include "engine/xxh3_paths.h"

namespace {

// BLAKE3's test inputs: byte i is i % 251.
std::string pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>(i % 251);
    }
    return bytes;
}

Digest hashInPieces(Hasher& hasher, Algorithm algorithm, const std::string& bytes,
                    std::size_t piece) {
    EXPECT_TRUE(hasher.begin(algorithm));
    for (std::size_t done = 0; done < bytes.size(); done += piece) {
        hasher.update(bytes.data() + done, std::min(piece, bytes.size() - done));
    }
    Digest digest;
    hasher.finish(digest);
    return digest;
}

struct KnownAnswer {
    Algorithm algorithm;
    std::string input;
    const char* hex;
};

std::ostream& operator<<(std::ostream& out, const KnownAnswer& answer) {
    return out << algorithmTag(answer.algorithm) << " of " << answer.input.size() << " bytes";
}

class HasherKnownAnswerTest : public testing::TestWithParam<KnownAnswer> {};

TEST_P(HasherKnownAnswerTest, WholeAndInPieces) {
    const KnownAnswer& answer = GetParam();
    Hasher hasher;
    for (std::size_t piece : {answer.input.size() + 1, std::size_t{1}, std::size_t{63},
                              std::size_t{1025}, std::size_t{8 * 1024 + 1}}) {
        const Digest digest = hashInPieces(hasher, answer.algorithm, answer.input, piece);
        EXPECT_EQ(digest.algorithm, answer.algorithm);
        EXPECT_EQ(toHex(digest), answer.hex) << "pieces of " << piece;
    }
}

const std::string ABC = "abc";

INSTANTIATE_TEST_SUITE_P(
    Published, HasherKnownAnswerTest,
    testing::Values(
        KnownAnswer{Algorithm::Sha3_224, ABC,
                    "e642824c3f8cf24ad09234ee7d3c766fc9a3a5168d0c94ad73b46fdf"},
        KnownAnswer{Algorithm::Sha3_256, ABC,
                    "3a985da74fe225b2045c172d6bd390bd855f086e3e9d525b46bfe24511431532"},
        KnownAnswer{
            Algorithm::Sha3_384, ABC,
            "ec01498288516fc926459f58e2c6ad8df9b473cb0fc08c2596da7cf0e49be4b298d88cea927ac7f"
            "539f1edf228376d25"},
        KnownAnswer{
            Algorithm::Sha3_512, ABC,
            "b751850b1a57168a5693cd924b6b096e08f621827444f70d884f5d0240d2712e10e116e9192af3c"
            "91a7ec57647e3934057340b4cf408d5a56592f8274eec53f0"},
        KnownAnswer{Algorithm::Xxh64, ABC, "44bc2cf5ad770999"},
        KnownAnswer{Algorithm::Xxh3, ABC, "78af5f94892f3950"},
        KnownAnswer{Algorithm::Xxh128, ABC, "06b05ab6733a618578af5f94892f3950"},
        KnownAnswer{Algorithm::Crc32, "123456789", "cbf43926"},
        KnownAnswer{Algorithm::Crc32, ABC, "352441c2"}));

// BLAKE3's published vectors: lengths around chunk and tree boundaries.
const KnownAnswer BLAKE3_VECTORS[] = {
    {Algorithm::Blake3, pattern(0),
     "af1349b9f5f9a1a6a0404dea36dcc9499bcb25c9adc112b7cc9a93cae41f3262"},
    {Algorithm::Blake3, pattern(1),
     "2d3adedff11b61f14c886e35afa036736dcd87a74d27b5c1510225d0f592e213"},
    {Algorithm::Blake3, pattern(1023),
     "10108970eeda3eb932baac1428c7a2163b0e924c9a9e25b35bba72b28f70bd11"},
    {Algorithm::Blake3, pattern(1024),
     "42214739f095a406f3fc83deb889744ac00df831c10daa55189b5d121c855af7"},
    {Algorithm::Blake3, pattern(1025),
     "d00278ae47eb27b34faecf67b4fe263f82d5412916c1ffd97c8cb7fb814b8444"},
    {Algorithm::Blake3, pattern(2048),
     "e776b6028c7cd22a4d0ba182a8bf62205d2ef576467e838ed6f2529b85fba24a"},
    {Algorithm::Blake3, pattern(2049),
     "5f4d72f40d7a5f82b15ca2b2e44b1de3c2ef86c426c95c1af0b6879522563030"},
    {Algorithm::Blake3, pattern(3072),
     "b98cb0ff3623be03326b373de6b9095218513e64f1ee2edd2525c7ad1e5cffd2"},
    {Algorithm::Blake3, pattern(3073),
     "7124b49501012f81cc7f11ca069ec9226cecb8a2c850cfe644e327d22d3e1cd3"},
    {Algorithm::Blake3, pattern(4096),
     "015094013f57a5277b59d8475c0501042c0b642e531b0a1c8f58d2163229e969"},
    {Algorithm::Blake3, pattern(4097),
     "9b4052b38f1c5fc8b1f9ff7ac7b27cd242487b3d890d15c96a1c25b8aa0fb995"},
    {Algorithm::Blake3, pattern(5121),
     "628bd2cb2004694adaab7bbd778a25df25c47b9d4155a55f8fbd79f2fe154cff"},
    {Algorithm::Blake3, pattern(7169),
     "a003fc7a51754a9b3c7fae0367ab3d782dccf28855a03d435f8cfe74605e7817"},
    {Algorithm::Blake3, pattern(8192),
     "aae792484c8efe4f19e2ca7d371d8c467ffb10748d8a5a1ae579948f718a2a63"},
    {Algorithm::Blake3, pattern(8193),
     "bab6c09cb8ce8cf459261398d2e7aef35700bf488116ceb94a36d0f5f1b7bc3b"},
    {Algorithm::Blake3, pattern(16384),
     "f875d6646de28985646f34ee13be9a576fd515f76b5b0a26bb324735041ddde4"},
    {Algorithm::Blake3, pattern(31744),
     "62b6960e1a44bcc1eb1a611a8d6235b6b4b78f32e7abc4fb4c6cdcce94895c47"},
    {Algorithm::Blake3, pattern(102400),
     "bc3e3d41a1146b069abffad3c0d44860cf664390afce4d9661f7902e7943e085"},
};

INSTANTIATE_TEST_SUITE_P(Blake3, HasherKnownAnswerTest, testing::ValuesIn(BLAKE3_VECTORS));

class Blake3PathTest : public testing::TestWithParam<Blake3Path> {
protected:
    void TearDown() override { blake3UseDefaultPath(); }
};

// Every chunk path this CPU runs gives the published digests, in pieces that start chunks at
// every lane position.
TEST_P(Blake3PathTest, GivesThePublishedDigests) {
    if (!blake3ForcePath(GetParam())) {
        GTEST_SKIP() << "path not available here";
    }
    Hasher hasher;
    for (const KnownAnswer& answer : BLAKE3_VECTORS) {
        for (std::size_t piece :
             {answer.input.size() + 1, std::size_t{3 * 1024}, std::size_t{17 * 1024 + 5}}) {
            EXPECT_EQ(toHex(hashInPieces(hasher, Algorithm::Blake3, answer.input, piece)),
                      answer.hex)
                << answer << " in pieces of " << piece;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, Blake3PathTest,
                         testing::Values(Blake3Path::Portable, Blake3Path::Sse41, Blake3Path::Avx2,
                                         Blake3Path::Avx512));

class Xxh3PathTest : public testing::TestWithParam<Xxh3Path> {};

// Every XXH3 build this CPU runs gives xxhsum's digests, on inputs long enough for its vector
// accumulation, in pieces that cross its stripes.
TEST_P(Xxh3PathTest, GivesXxhsumsDigests) {
    const Xxh3Functions* functions = xxh3Functions(GetParam());
    if (functions == nullptr) {
        GTEST_SKIP() << "path not available here";
    }
    struct Case {
        std::size_t size;
        bool wide;
        const char* hex;
    };
    for (const Case& c :
         {Case{1025, false, "e95c42288f28186e"}, Case{102400, false, "1428e17f1cac2837"},
          Case{1025, true, "2882ebca04ec915ce95c42288f28186e"},
          Case{102400, true, "ecd387d36185351b1428e17f1cac2837"}}) {
        const std::string input = pattern(c.size);
        void* state = functions->create();
        ASSERT_NE(state, nullptr);
        functions->reset(state, c.wide);
        for (std::size_t done = 0; done < input.size(); done += 1000) {
            functions->update(state, input.data() + done,
                              std::min<std::size_t>(1000, input.size() - done), c.wide);
        }
        Digest digest = Digest::of(c.wide ? Algorithm::Xxh128 : Algorithm::Xxh3);
        functions->digest(state, c.wide, digest.data());
        functions->destroy(state);
        EXPECT_EQ(toHex(digest), c.hex) << c.size << (c.wide ? " bytes, 128 bits" : " bytes");
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, Xxh3PathTest, testing::Values(Xxh3Path::Portable, Xxh3Path::Avx2));

} // namespace
