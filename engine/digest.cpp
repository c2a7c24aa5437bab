#include "engine/digest.h"

#include <cstring>

namespace {

struct AlgorithmInfo {
    std::size_t length;
    const char* tag;
    const char* title;
    const char* optionName;
};

// In the order of the enumeration.
constexpr AlgorithmInfo INFO[ALGORITHM_COUNT] = {
    {16, "MD5", "MD5", "md5"},
    {20, "SHA1", "SHA-1", "sha1"},
    {28, "SHA224", "SHA-224", "sha224"},
    {32, "SHA256", "SHA-256", "sha256"},
    {48, "SHA384", "SHA-384", "sha384"},
    {64, "SHA512", "SHA-512", "sha512"},
    {64, "BLAKE2b", "BLAKE2b", "blake2b"},
    {28, "SHA3-224", "SHA3-224", "sha3-224"},
    {32, "SHA3-256", "SHA3-256", "sha3-256"},
    {48, "SHA3-384", "SHA3-384", "sha3-384"},
    {64, "SHA3-512", "SHA3-512", "sha3-512"},
    {32, "BLAKE3", "BLAKE3", "blake3"},
    {8, "XXH64", "XXH64", "xxh64"},
    {8, "XXH3", "XXH3-64", "xxh3"},
    {16, "XXH128", "XXH128", "xxh128"},
    {4, "CRC32", "CRC32", "crc32b"},
};

const AlgorithmInfo& info(Algorithm algorithm) {
    return INFO[static_cast<int>(algorithm)];
}

} // namespace

std::size_t digestLength(Algorithm algorithm) {
    return info(algorithm).length;
}

const char* algorithmTag(Algorithm algorithm) {
    return info(algorithm).tag;
}

std::string algorithmTag(Algorithm algorithm, std::size_t length) {
    if (algorithm == Algorithm::Blake2b512 && length != digestLength(algorithm)) {
        return std::string(algorithmTag(algorithm)) + "-" + std::to_string(8 * length);
    }
    return algorithmTag(algorithm);
}

const char* algorithmTitle(Algorithm algorithm) {
    return info(algorithm).title;
}

const char* algorithmOptionName(Algorithm algorithm) {
    return info(algorithm).optionName;
}

bool algorithmIsCryptographic(Algorithm algorithm) {
    return algorithm != Algorithm::Xxh64 && algorithm != Algorithm::Xxh3 &&
           algorithm != Algorithm::Xxh128 && algorithm != Algorithm::Crc32;
}

bool algorithmFromOptionName(std::string_view name, Algorithm& algorithm) {
    for (int i = 0; i < ALGORITHM_COUNT; ++i) {
        if (name == INFO[i].optionName) {
            algorithm = static_cast<Algorithm>(i);
            return true;
        }
    }
    return false;
}

bool operator==(const Digest& a, const Digest& b) {
    return a.algorithm == b.algorithm && a.length == b.length &&
           std::memcmp(a.bytes, b.bytes, a.length) == 0;
}
