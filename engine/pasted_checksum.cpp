#include "engine/pasted_checksum.h"

#include "engine/file_digest.h"
#include "engine/list_line.h"

namespace {

constexpr unsigned bit(Algorithm algorithm) {
    return 1u << static_cast<unsigned>(algorithm);
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && isSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool isHex(char c) {
    c = lower(c);
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

// The cryptographic algorithms a digest of this many hex digits may be of. Digits alone never
// stand for a CRC or an XXH checksum: a file made to match one of those could pass for the
// published digest of another algorithm.
unsigned algorithmsOfLength(std::size_t digits) {
    unsigned algorithms = 0;
    for (int i = 0; i < ALGORITHM_COUNT; ++i) {
        const auto algorithm = static_cast<Algorithm>(i);
        if (2 * digestLength(algorithm) == digits && algorithmIsCryptographic(algorithm)) {
            algorithms |= bit(algorithm);
        }
    }
    return algorithms;
}

// Names a prefix may give, longest first where one starts another.
struct Name {
    std::string_view text;
    Algorithm algorithm;
};
constexpr Name NAMES[] = {
    {"sha3-224", Algorithm::Sha3_224},
    {"sha3-256", Algorithm::Sha3_256},
    {"sha3-384", Algorithm::Sha3_384},
    {"sha3-512", Algorithm::Sha3_512},
    {"blake3", Algorithm::Blake3},
    {"b3", Algorithm::Blake3},
    {"xxh128", Algorithm::Xxh128},
    {"xxh64", Algorithm::Xxh64},
    {"xxh3", Algorithm::Xxh3},
    {"crc32", Algorithm::Crc32},
    {"blake2b-512", Algorithm::Blake2b512},
    {"blake2b", Algorithm::Blake2b512},
    {"b2", Algorithm::Blake2b512},
    {"sha-224", Algorithm::Sha224},
    {"sha-256", Algorithm::Sha256},
    {"sha-384", Algorithm::Sha384},
    {"sha-512", Algorithm::Sha512},
    {"sha-1", Algorithm::Sha1},
    {"sha224", Algorithm::Sha224},
    {"sha256", Algorithm::Sha256},
    {"sha384", Algorithm::Sha384},
    {"sha512", Algorithm::Sha512},
    {"sha1", Algorithm::Sha1},
    {"md5", Algorithm::Md5},
};

bool startsWithName(std::string_view text, std::string_view name) {
    if (text.size() < name.size()) {
        return false;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (lower(text[i]) != name[i]) {
            return false;
        }
    }
    return true;
}

// Digits alone: all hex, of a length some algorithm has (the one named, when a name says).
bool takeDigits(std::string_view text, unsigned allowed, PastedChecksum& checksum) {
    for (char c : text) {
        if (!isHex(c)) {
            return false;
        }
    }
    unsigned algorithms = algorithmsOfLength(text.size()) & allowed;
    for (int i = 0; i < ALGORITHM_COUNT; ++i) {
        const auto algorithm = static_cast<Algorithm>(i);
        if (allowed == bit(algorithm) && 2 * digestLength(algorithm) == text.size()) {
            algorithms = allowed;
        }
    }
    if (algorithms == 0) {
        return false;
    }
    checksum.hex.clear();
    for (char c : text) {
        checksum.hex += lower(c);
    }
    checksum.algorithms = algorithms;
    return true;
}

} // namespace

bool PastedChecksum::matches(const Digest& digest) const {
    return mayBe(digest.algorithm) && toHex(digest) == hex;
}

bool parsePastedChecksum(std::string_view text, PastedChecksum& checksum) {
    text = trim(text);
    // Only the first line counts: a pasted list line may come with its neighbours.
    const std::size_t lineEnd = text.find_first_of("\r\n");
    if (lineEnd != std::string_view::npos) {
        text = trim(text.substr(0, lineEnd));
    }
    constexpr unsigned ANY = (1u << ALGORITHM_COUNT) - 1;
    if (takeDigits(text, ANY, checksum)) {
        return true;
    }
    Digest digest;
    std::string name;
    const LineKind kind = parseListLine(text, std::nullopt, digest, name);
    if (kind == LineKind::TextEntry || kind == LineKind::BinaryEntry) {
        checksum.hex = toHex(digest);
        // An untagged line's digits may be of any algorithm of their length; a tag names one.
        const bool tagged = !startsWithName(text, checksum.hex);
        checksum.algorithms =
            tagged ? bit(digest.algorithm) : algorithmsOfLength(checksum.hex.size());
        return true;
    }
    for (const Name& known : NAMES) {
        if (!startsWithName(text, known.text)) {
            continue;
        }
        std::string_view rest = text.substr(known.text.size());
        std::size_t separators = 0;
        while (separators < rest.size() &&
               (rest[separators] == ':' || rest[separators] == '=' || isSpace(rest[separators]))) {
            ++separators;
        }
        return separators > 0 &&
               takeDigits(rest.substr(separators), bit(known.algorithm), checksum);
    }
    return false;
}
