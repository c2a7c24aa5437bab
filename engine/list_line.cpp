#include "engine/list_line.h"

#include <cstring>

#include "engine/file_digest.h"

namespace {

// Hex digits of either letter case: lists from other platforms' tools write uppercase.
struct HexTable {
    signed char value[256];
    constexpr HexTable() : value() {
        for (int c = 0; c < 256; ++c) {
            value[c] = static_cast<signed char>(c >= '0' && c <= '9'   ? c - '0'
                                                : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                                       : -1);
        }
    }
};
constexpr HexTable HEX;

int hexValue(char c) {
    return HEX.value[static_cast<unsigned char>(c)];
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view trimEnd(std::string_view text) {
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool endsWithNoCase(std::string_view text, std::string_view suffix) {
    if (text.size() < suffix.size()) {
        return false;
    }
    text.remove_prefix(text.size() - suffix.size());
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != suffix[i]) {
            return false;
        }
    }
    return true;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && endsWithNoCase(text.substr(0, prefix.size()), prefix);
}

bool equalsNoCase(std::string_view text, std::string_view lowercase) {
    return text.size() == lowercase.size() && endsWithNoCase(text, lowercase);
}

std::string upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

// The suffixes of lists that hold one algorithm's digests, as the peer tools' users name them.
struct NamedSuffix {
    std::string_view suffix;
    Algorithm algorithm;
};
constexpr NamedSuffix NAMED_SUFFIXES[] = {
    {".sha3-224", Algorithm::Sha3_224}, {".sha3-256", Algorithm::Sha3_256},
    {".sha3-384", Algorithm::Sha3_384}, {".sha3-512", Algorithm::Sha3_512},
    {".b3", Algorithm::Blake3},         {".blake3", Algorithm::Blake3},
    {".xxh64", Algorithm::Xxh64},       {".xxh3", Algorithm::Xxh3},
    {".xxh128", Algorithm::Xxh128},     {".sfv", Algorithm::Crc32},
};

// The algorithm and length in bytes of an untagged digest of this many hex digits. A list named
// for an algorithm holds its digests, BLAKE2b's at any length b2sum -l writes, each as long as
// its digits say, as b2sum -c reads them; elsewhere the length names the algorithm, among the
// cryptographic ones alone.
bool digestOfLength(std::size_t digits, std::optional<Algorithm> named, Algorithm& algorithm,
                    std::size_t& length) {
    length = digits / 2;
    if (named == Algorithm::Blake2b512) {
        algorithm = Algorithm::Blake2b512;
        return digits >= 2 && digits % 2 == 0 && length <= MAX_DIGEST_BYTES;
    }
    if (named) {
        algorithm = *named;
        return digits == 2 * digestLength(algorithm);
    }
    switch (digits) {
    case 32:
        algorithm = Algorithm::Md5;
        return true;
    case 40:
        algorithm = Algorithm::Sha1;
        return true;
    case 56:
        algorithm = Algorithm::Sha224;
        return true;
    case 64:
        algorithm = Algorithm::Sha256;
        return true;
    case 96:
        algorithm = Algorithm::Sha384;
        return true;
    case 128:
        algorithm = Algorithm::Sha512;
        return true;
    default:
        return false;
    }
}

// The tags of BSD-style lines, each followed by " (" on the line.
struct Tag {
    std::string_view text;
    Algorithm algorithm;
};
constexpr Tag TAGS[] = {
    {"MD5", Algorithm::Md5},
    {"SHA1", Algorithm::Sha1},
    {"SHA224", Algorithm::Sha224},
    {"SHA256", Algorithm::Sha256},
    {"SHA384", Algorithm::Sha384},
    {"SHA512", Algorithm::Sha512},
    {"BLAKE2b", Algorithm::Blake2b512},
    {"SHA3-224", Algorithm::Sha3_224},
    {"SHA3-256", Algorithm::Sha3_256},
    {"SHA3-384", Algorithm::Sha3_384},
    {"SHA3-512", Algorithm::Sha3_512},
    {"BLAKE3", Algorithm::Blake3},
    {"XXH64", Algorithm::Xxh64},
    {"XXH3", Algorithm::Xxh3},
    {"XXH128", Algorithm::Xxh128},
    {"CRC32", Algorithm::Crc32},
};

// The tag "BLAKE2b-N" followed by " (", N the digest's bits as b2sum --tag writes them: a
// multiple of 8 from 8 to 512, in decimal without leading zeros. Gives the digest's length in
// bytes and where the rest of the line starts.
bool takeBlake2bTag(std::string_view line, std::size_t& length, std::size_t& after) {
    constexpr std::string_view TAG = "BLAKE2b-";
    if (line.substr(0, TAG.size()) != TAG) {
        return false;
    }
    const std::size_t first = TAG.size();
    std::size_t i = first;
    std::size_t bits = 0;
    while (i < line.size() && i - first < 4 && line[i] >= '0' && line[i] <= '9') {
        bits = 10 * bits + static_cast<std::size_t>(line[i] - '0');
        ++i;
    }
    if (i == first || line[first] == '0' || bits % 8 != 0 || bits > 8 * MAX_DIGEST_BYTES ||
        line.substr(i, 2) != " (") {
        return false;
    }
    length = bits / 8;
    after = i + 2;
    return true;
}

// Fills expected from hex, which has exactly two digits per byte of a digest of length bytes.
bool decodeHex(std::string_view hex, Algorithm algorithm, std::size_t length, Digest& expected) {
    if (hex.size() != 2 * length) {
        return false;
    }
    expected = Digest::of(algorithm, length);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = hexValue(hex[i]);
        const int low = hexValue(hex[i + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        expected[i / 2] = static_cast<std::uint8_t>(16 * high + low);
    }
    return true;
}

int base64Value(char c) {
    return c >= 'A' && c <= 'Z'   ? c - 'A'
           : c >= 'a' && c <= 'z' ? c - 'a' + 26
           : c >= '0' && c <= '9' ? c - '0' + 52
           : c == '+'             ? 62
           : c == '/'             ? 63
                                  : -1;
}

// Fills expected from text, the base64 form of a digest of length bytes (RFC 4648, padded with
// '=' as cksum --base64 writes it). Its length never equals that of the hex form of the same
// digest, so the two cannot be taken for each other.
bool decodeBase64(std::string_view text, Algorithm algorithm, std::size_t length,
                  Digest& expected) {
    const std::size_t padding = (3 - length % 3) % 3;
    if (text.size() != 4 * ((length + 2) / 3) ||
        text.substr(text.size() - padding) != std::string_view("==", padding)) {
        return false;
    }
    expected = Digest::of(algorithm, length);
    std::uint32_t bits = 0;
    int held = 0;
    std::size_t out = 0;
    for (char c : text.substr(0, text.size() - padding)) {
        const int value = base64Value(c);
        if (value < 0) {
            return false;
        }
        bits = bits << 6 | static_cast<std::uint32_t>(value);
        held += 6;
        if (held >= 8) {
            held -= 8;
            expected[out++] = static_cast<std::uint8_t>(bits >> held);
            bits &= (1u << held) - 1;
        }
    }
    // The bits past the digest's last byte are zero in the one canonical form.
    return out == length && bits == 0;
}

// The name as written; escaped, "\\", "\n" and "\r" stand for a backslash, a line feed and a
// carriage return, and any other backslash makes the line unreadable.
bool takeName(std::string_view raw, bool escaped, std::string& name) {
    if (!escaped) {
        name.assign(raw);
    } else {
        name.clear();
        for (std::size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] != '\\') {
                name += raw[i];
                continue;
            }
            if (++i == raw.size()) {
                return false;
            }
            switch (raw[i]) {
            case '\\':
                name += '\\';
                break;
            case 'n':
                name += '\n';
                break;
            case 'r':
                name += '\r';
                break;
            default:
                return false;
            }
        }
    }
    return name.size() <= MAX_NAME_BYTES;
}

// "TAG (name) = hex", the digest length bytes long: the name runs to the last ')', since names
// are not escaped for it.
LineKind parseTagged(std::string_view body, Algorithm algorithm, std::size_t length, bool escaped,
                     Digest& expected, std::string& name) {
    if (!body.empty() && body.back() == '\r') {
        body.remove_suffix(1);
    }
    const std::size_t close = body.rfind(')');
    if (close == std::string_view::npos || close == 0) {
        return LineKind::NotUnderstood;
    }
    std::string_view after = body.substr(close + 1);
    std::size_t i = 0;
    while (i < after.size() && after[i] == ' ') {
        ++i;
    }
    if (i == after.size() || after[i] != '=') {
        return LineKind::NotUnderstood;
    }
    ++i;
    while (i < after.size() && after[i] == ' ') {
        ++i;
    }
    const std::string_view digest = after.substr(i);
    if (!(decodeHex(digest, algorithm, length, expected) ||
          decodeBase64(digest, algorithm, length, expected)) ||
        !takeName(body.substr(0, close), escaped, name)) {
        return LineKind::NotUnderstood;
    }
    return LineKind::BinaryEntry;
}

// An SFV entry, "name HEX8": the CRC32 is the line's last word, the name all before the blanks
// that part them. Folders are parted by '\' as on the system that wrote most such files.
LineKind parseSfv(std::string_view line, Digest& expected, std::string& name) {
    line = trimEnd(line);
    constexpr std::size_t DIGITS = 8;
    if (line.size() < DIGITS + 2 || !isBlank(line[line.size() - DIGITS - 1])) {
        return LineKind::NotUnderstood;
    }
    const std::string_view raw = trimEnd(line.substr(0, line.size() - DIGITS - 1));
    if (raw.empty() || raw.size() > MAX_NAME_BYTES ||
        !decodeHex(line.substr(line.size() - DIGITS), Algorithm::Crc32, 4, expected)) {
        return LineKind::NotUnderstood;
    }
    name.assign(raw);
    for (char& c : name) {
        if (c == '\\') {
            c = '/';
        }
    }
    return LineKind::BinaryEntry;
}

// An armor header field of OpenPGP ("Hash: SHA256").
bool isArmorField(std::string_view line) {
    const std::size_t colon = line.find(": ");
    if (colon == 0 || colon == std::string_view::npos) {
        return false;
    }
    for (std::size_t i = 0; i < colon; ++i) {
        const char c = line[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
              c == '-')) {
            return false;
        }
    }
    return true;
}

bool isBase64(std::string_view line) {
    for (char c : line) {
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
              c == '+' || c == '/' || c == '=')) {
            return false;
        }
    }
    return true;
}

constexpr std::string_view BEGIN_SIGNED = "-----BEGIN PGP SIGNED MESSAGE-----";
constexpr std::string_view BEGIN_SIGNATURE = "-----BEGIN PGP SIGNATURE-----";
constexpr std::string_view END_SIGNATURE = "-----END PGP SIGNATURE-----";

} // namespace

std::optional<Algorithm> algorithmOfListName(std::string_view listName) {
    const std::size_t slash = listName.rfind('/');
    if (slash != std::string_view::npos) {
        listName.remove_prefix(slash + 1);
    }
    for (const NamedSuffix& named : NAMED_SUFFIXES) {
        if (endsWithNoCase(listName, named.suffix)) {
            return named.algorithm;
        }
    }
    if (equalsNoCase(listName, "b3sums")) {
        return Algorithm::Blake3;
    }
    // A list whose suffix names another algorithm ("b2sdk-1.0.tar.gz.sha256") is not b2sum's,
    // whatever its start: read as BLAKE2b, every digest of it would fail.
    for (std::string_view suffix : {".md5", ".sha1", ".sha224", ".sha256", ".sha384", ".sha512"}) {
        if (endsWithNoCase(listName, suffix)) {
            return std::nullopt;
        }
    }
    if (startsWithNoCase(listName, "b2") || startsWithNoCase(listName, "blake2") ||
        endsWithNoCase(listName, ".b2") || endsWithNoCase(listName, ".blake2") ||
        endsWithNoCase(listName, ".blake2b")) {
        return Algorithm::Blake2b512;
    }
    return std::nullopt;
}

std::string formatListLine(const Digest& digest, std::string_view name) {
    const bool escape = name.find_first_of("\\\n\r") != std::string_view::npos;
    if (digest.algorithm == Algorithm::Crc32 && !escape) {
        // SFV has no escapes: a name it cannot carry as it is (leading or trailing blanks, a
        // ';' or a tag at its start) is written tagged.
        std::string line = std::string(name) + " " + upper(toHex(digest));
        Digest again;
        std::string nameAgain;
        if (parseListLine(line, Algorithm::Crc32, again, nameAgain) == LineKind::BinaryEntry &&
            again == digest && nameAgain == name) {
            return line;
        }
    }
    std::string shown;
    for (char c : name) {
        if (escape && (c == '\\' || c == '\n' || c == '\r')) {
            shown += '\\';
            shown += c == '\\' ? '\\' : c == '\n' ? 'n' : 'r';
        } else {
            shown += c;
        }
    }
    std::string line = escape ? "\\" : "";
    switch (digest.algorithm) {
    case Algorithm::Md5:
    case Algorithm::Sha1:
    case Algorithm::Sha224:
    case Algorithm::Sha256:
    case Algorithm::Sha384:
    case Algorithm::Sha512:
        return line + toHex(digest) + " *" + shown;
    case Algorithm::Blake3:
        return line + toHex(digest) + "  " + shown;
    default:
        return line + algorithmTag(digest.algorithm, digest.length) + " (" + shown +
               ") = " + toHex(digest);
    }
}

namespace {

// The suffixes of lists of one algorithm: "NAME.sha256", "NAME.sha256sum", "NAME-sha256.sum".
struct ListSuffix {
    std::string_view name;
    Algorithm algorithm;
};
constexpr ListSuffix LIST_SUFFIXES[] = {
    {"md5", Algorithm::Md5},           {"sha1", Algorithm::Sha1},
    {"sha224", Algorithm::Sha224},     {"sha256", Algorithm::Sha256},
    {"sha384", Algorithm::Sha384},     {"sha512", Algorithm::Sha512},
    {"b2", Algorithm::Blake2b512},     {"sha3-224", Algorithm::Sha3_224},
    {"sha3-256", Algorithm::Sha3_256}, {"sha3-384", Algorithm::Sha3_384},
    {"sha3-512", Algorithm::Sha3_512}, {"b3", Algorithm::Blake3},
    {"blake3", Algorithm::Blake3},     {"xxh64", Algorithm::Xxh64},
    {"xxh3", Algorithm::Xxh3},         {"xxh128", Algorithm::Xxh128},
};

// The length of the part of fileName before a suffix of LIST_SUFFIXES, and its algorithm; 0
// when it has none (or nothing before it).
std::size_t stemBeforeListSuffix(std::string_view fileName, Algorithm& algorithm) {
    for (const ListSuffix& suffix : LIST_SUFFIXES) {
        for (std::string_view before : {".", "-"}) {
            for (std::string_view after : {"", "sum", ".sum"}) {
                if (before == "-" && after != ".sum") {
                    continue;
                }
                const std::size_t length = before.size() + suffix.name.size() + after.size();
                if (fileName.size() <= length) {
                    continue;
                }
                const std::string_view tail = fileName.substr(fileName.size() - length);
                if (tail.substr(0, 1) == before &&
                    equalsNoCase(tail.substr(1, suffix.name.size()), suffix.name) &&
                    equalsNoCase(tail.substr(1 + suffix.name.size()), after)) {
                    algorithm = suffix.algorithm;
                    return fileName.size() - length;
                }
            }
        }
    }
    return 0;
}

} // namespace

bool namesChecksumList(std::string_view fileName) {
    // A ".txt" suffix makes no difference: "SHA256SUMS.txt" is the list it names.
    const bool txt = fileName.size() > 4 && endsWithNoCase(fileName, ".txt");
    if (txt) {
        fileName.remove_suffix(4);
    }
    Algorithm algorithm;
    if (stemBeforeListSuffix(fileName, algorithm) != 0) {
        return true;
    }
    for (std::string_view name : {"md5sums", "sha1sums", "sha224sums", "sha256sums", "sha384sums",
                                  "sha512sums", "b2sums", "b3sums", "checksum", "checksums"}) {
        if (equalsNoCase(fileName, name)) {
            return true;
        }
    }
    // "sha256sum.txt", but never a file named like the tool itself.
    for (std::string_view name :
         {"md5sum", "sha1sum", "sha224sum", "sha256sum", "sha384sum", "sha512sum", "b2sum"}) {
        if (txt && equalsNoCase(fileName, name)) {
            return true;
        }
    }
    // SFV files, which name no one file's algorithm.
    for (const NamedSuffix& named : NAMED_SUFFIXES) {
        if (fileName.size() > named.suffix.size() && endsWithNoCase(fileName, named.suffix)) {
            return true;
        }
    }
    constexpr std::string_view CHECKSUM = "-checksum";
    return fileName.size() > CHECKSUM.size() && endsWithNoCase(fileName, CHECKSUM);
}

bool namesListOfOneFile(std::string_view listName, std::string_view fileName,
                        Algorithm& algorithm) {
    Algorithm named;
    const std::size_t stem = stemBeforeListSuffix(listName, named);
    if (stem == 0 || listName.substr(0, stem) != fileName) {
        return false;
    }
    algorithm = named;
    return true;
}

LineKind parseListLine(std::string_view line, std::optional<Algorithm> named, Digest& expected,
                       std::string& name) {
    const bool sfv = named == Algorithm::Crc32;
    std::size_t i = 0;
    while (i < line.size() && isBlank(line[i])) {
        ++i;
    }
    if (i == line.size() || line[i] == (sfv ? ';' : '#')) {
        return LineKind::Quiet;
    }
    const bool escaped = line[i] == '\\';
    std::string_view rest = line.substr(escaped ? i + 1 : i);

    LineKind tagged = LineKind::NotUnderstood;
    std::size_t length;
    std::size_t after;
    bool hasTag = false;
    for (const Tag& tag : TAGS) {
        if (rest.size() > tag.text.size() + 2 && rest.substr(0, tag.text.size()) == tag.text &&
            rest.substr(tag.text.size(), 2) == " (") {
            hasTag = true;
            tagged = parseTagged(rest.substr(tag.text.size() + 2), tag.algorithm,
                                 digestLength(tag.algorithm), escaped, expected, name);
            break;
        }
    }
    if (!hasTag && takeBlake2bTag(rest, length, after)) {
        hasTag = true;
        tagged =
            parseTagged(rest.substr(after), Algorithm::Blake2b512, length, escaped, expected, name);
    }
    // In an SFV file, a line that no tag reads is an SFV entry whose name may start like one.
    if (sfv && tagged == LineKind::NotUnderstood) {
        return parseSfv(line.substr(i), expected, name);
    }
    if (hasTag) {
        return tagged;
    }

    std::size_t digits = 0;
    while (digits < rest.size() && hexValue(rest[digits]) >= 0) {
        ++digits;
    }
    Algorithm algorithm;
    if (!digestOfLength(digits, named, algorithm, length) || rest.size() < digits + 3 ||
        rest[digits] != ' ') {
        return LineKind::NotUnderstood;
    }
    const char marker = rest[digits + 1];
    if (marker != ' ' && marker != '*') {
        return LineKind::NotUnderstood;
    }
    std::string_view raw = rest.substr(digits + 2);
    // A list saved with CR CR LF line ends keeps one CR after text-mode reading.
    if (raw.back() == '\r') {
        raw.remove_suffix(1);
    }
    if (!decodeHex(rest.substr(0, digits), algorithm, length, expected) ||
        !takeName(raw, escaped, name)) {
        return LineKind::NotUnderstood;
    }
    return marker == '*' ? LineKind::BinaryEntry : LineKind::TextEntry;
}

ListReader::ListReader(std::FILE* list, const char* listName)
    : list_(list),
      named_(listName != nullptr ? algorithmOfListName(listName) : std::optional<Algorithm>()) {}

bool ListReader::readLine(std::string& text, bool& tooLong, bool& hasNul) {
    text.clear();
    tooLong = false;
    hasNul = false;
    int c;
    while ((c = getc_unlocked(list_)) != EOF) {
        if (c == '\n') {
            text += tooLong ? "...\n" : "\n";
            return true;
        }
        if (text.size() < MAX_LINE_BYTES) {
            text += static_cast<char>(c);
        } else {
            tooLong = true;
        }
        hasNul = hasNul || c == '\0';
    }
    if (text.empty()) {
        return false;
    }
    // The last line, without a line feed: its message still ends one.
    text += tooLong ? "...\n" : "\n";
    return true;
}

bool ListReader::quietInEnvelope(std::string_view line) {
    // Armor is compared as it stands, but for the carriage returns of its line end: a blank
    // trimmed away could make an entry with a name of blanks look like base64.
    while (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    const bool blank = trimEnd(line).empty();
    if (envelope_ == Envelope::ArmorHeader) {
        if (blank) {
            envelope_ = Envelope::Outside;
            return true;
        }
        if (isArmorField(line)) {
            return true;
        }
    } else if (envelope_ == Envelope::Signature) {
        if (trimEnd(line) == END_SIGNATURE) {
            envelope_ = Envelope::Outside;
            return true;
        }
        if (blank || isArmorField(line) || isBase64(line)) {
            return true;
        }
    }
    envelope_ = Envelope::Outside;
    return false;
}

LineKind ListReader::next(ListLine& line) {
    bool tooLong;
    bool hasNul;
    if (!readLine(line.text, tooLong, hasNul)) {
        return line.kind = LineKind::End;
    }
    if (tooLong || hasNul) {
        envelope_ = Envelope::Outside; // no armor looks like this
        return line.kind = LineKind::NotUnderstood;
    }
    const std::string_view content(line.text.data(), line.text.size() - 1);
    if (envelope_ != Envelope::Outside && quietInEnvelope(content)) {
        return line.kind = LineKind::Quiet;
    }
    const std::string_view trimmed = trimEnd(content);
    if (trimmed == BEGIN_SIGNED) {
        envelope_ = Envelope::ArmorHeader;
        return line.kind = LineKind::Quiet;
    }
    if (trimmed == BEGIN_SIGNATURE) {
        envelope_ = Envelope::Signature;
        return line.kind = LineKind::Quiet;
    }
    line.kind = parseListLine(content, named_, line.expected, line.name);
    line.byLength = false;
    if (!named_ && (line.kind == LineKind::TextEntry || line.kind == LineKind::BinaryEntry)) {
        // An entry has a digest of at least two digits after its blanks and escape mark, and
        // every tag starts with a letter that is no hex digit, or with one followed by such a
        // letter.
        const std::size_t start = content.find_first_not_of(" \t\r\v\f\\");
        line.byLength = hexValue(content[start]) >= 0 && hexValue(content[start + 1]) >= 0;
    }
    return line.kind;
}
