#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

/// The hash functions whose checksums the program computes and checks. Blake2b512 stands for
/// BLAKE2b of every length b2sum -l allows (1 to 64 bytes); a Digest's length tells which. The
/// values are stored in the profile: a new algorithm is added at the end.
enum class Algorithm : std::uint8_t {
    Md5,
    Sha1,
    Sha224,
    Sha256,
    Sha384,
    Sha512,
    Blake2b512,
    Sha3_224,
    Sha3_256,
    Sha3_384,
    Sha3_512,
    Blake3,
    Xxh64,
    Xxh3,
    Xxh128,
    Crc32,
};

inline constexpr int ALGORITHM_COUNT = 16;
/// The largest digest, in bytes (SHA-512 and BLAKE2b-512).
inline constexpr std::size_t MAX_DIGEST_BYTES = 64;

/// The digest's length in bytes (BLAKE2b's longest, 64).
std::size_t digestLength(Algorithm algorithm);
/// The tag of BSD-style lines and of messages: "MD5", "SHA1", ..., "BLAKE2b", "SHA3-256",
/// "BLAKE3", "XXH64", "XXH3", "XXH128", "CRC32", as the peer tools write them.
const char* algorithmTag(Algorithm algorithm);
/// The tag of a digest of length bytes: algorithmTag, except that BLAKE2b shorter than 64 bytes
/// is "BLAKE2b-N" with N its bits ("BLAKE2b-256"), as b2sum --tag writes it.
std::string algorithmTag(Algorithm algorithm, std::size_t length);
/// The name people read: "MD5", "SHA-1", "SHA-256", ..., "BLAKE2b", "SHA3-256", "BLAKE3", ...
const char* algorithmTitle(Algorithm algorithm);
/// The name cksum -a uses: "md5", "sha1", ..., "blake2b", "blake3", "xxh3", "xxh128", "crc32b";
/// SHA-3, which cksum names "sha3" with a length, is "sha3-224" ... "sha3-512", and XXH64 (not
/// in cksum) "xxh64".
const char* algorithmOptionName(Algorithm algorithm);
/// Whether the algorithm is a cryptographic hash. The others (CRC32, XXH*) are easily forged,
/// so a checksum is never taken for one of them from its length alone.
bool algorithmIsCryptographic(Algorithm algorithm);
/// The algorithm algorithmOptionName calls name; false when there is none.
bool algorithmFromOptionName(std::string_view name, Algorithm& algorithm);

/// One message digest: its algorithm and its bytes, first byte first. Two digests are equal when
/// algorithm and bytes are. A default Digest is an MD5 digest of zero bytes, so that code which
/// fills one in place (RFC 1321's byte order) needs nothing else.
struct Digest {
    Algorithm algorithm = Algorithm::Md5;
    std::uint8_t length = 16;
    std::uint8_t bytes[MAX_DIGEST_BYTES] = {};

    /// An empty digest of algorithm, every byte 0, of length bytes (0: the algorithm's own
    /// length; another is for BLAKE2b alone, up to MAX_DIGEST_BYTES).
    static Digest of(Algorithm algorithm, std::size_t length = 0) {
        Digest digest;
        digest.algorithm = algorithm;
        digest.length = static_cast<std::uint8_t>(length != 0 ? length : digestLength(algorithm));
        return digest;
    }

    std::size_t size() const { return length; }
    std::uint8_t* data() { return bytes; }
    const std::uint8_t* data() const { return bytes; }
    std::uint8_t* begin() { return bytes; }
    std::uint8_t* end() { return bytes + length; }
    const std::uint8_t* begin() const { return bytes; }
    const std::uint8_t* end() const { return bytes + length; }
    std::uint8_t& operator[](std::size_t i) { return bytes[i]; }
    std::uint8_t operator[](std::size_t i) const { return bytes[i]; }

    friend bool operator==(const Digest& a, const Digest& b);
};
