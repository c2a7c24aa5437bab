#include "engine/list_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/checksum_list.h"
#include "engine/file_digest.h"

namespace {

// A digest of each length, its bytes counting up from 0x01.
std::string hexOfLength(std::size_t digits) {
    static const char DIGITS[] = "0123456789abcdef";
    std::string hex;
    for (std::size_t i = 0; i < digits / 2; ++i) {
        hex += DIGITS[((i + 1) >> 4) & 15];
        hex += DIGITS[(i + 1) & 15];
    }
    return hex;
}
const std::string MD5 = hexOfLength(32);
const std::string SHA256 = hexOfLength(64);
const std::string SHA512 = hexOfLength(128);

std::string upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

struct LineCase {
    const char* what;
    std::string line; // without its line feed
    LineKind kind;
    Algorithm algorithm = Algorithm::Md5;
    std::string name;
    std::optional<Algorithm> named = std::nullopt; // by the list's name
    std::size_t digits = 0;                        // of the digest read; 0: the algorithm's own
};

LineCase other(const char* what, const std::string& line, LineKind kind) {
    return LineCase{what, line, kind, Algorithm::Md5, "", std::nullopt};
}

std::ostream& operator<<(std::ostream& out, const LineCase& c) {
    return out << c.what;
}

class ParseListLineTest : public testing::TestWithParam<LineCase> {};

// Every form an entry takes gives the digest of its hex (checked by its hex form) and its name;
// everything else is quiet or not understood, and never names a file.
TEST_P(ParseListLineTest, ReadsTheLineAsCoreutilsDoes) {
    const LineCase& c = GetParam();
    Digest expected;
    std::string name = "untouched";
    const LineKind kind = parseListLine(c.line, c.named, expected, name);
    EXPECT_EQ(kind, c.kind);
    if (kind == LineKind::TextEntry || kind == LineKind::BinaryEntry) {
        EXPECT_EQ(expected.algorithm, c.algorithm);
        EXPECT_EQ(toHex(expected),
                  hexOfLength(c.digits != 0 ? c.digits : 2 * digestLength(c.algorithm)));
        EXPECT_EQ(name, c.name);
    }
}

const std::string LONGEST(MAX_NAME_BYTES, 'n');

INSTANTIATE_TEST_SUITE_P(
    Forms, ParseListLineTest,
    testing::Values(
        LineCase{"Text", MD5 + "  a b", LineKind::TextEntry, Algorithm::Md5, "a b"},
        LineCase{"Binary", MD5 + " *a", LineKind::BinaryEntry, Algorithm::Md5, "a"},
        LineCase{"OneCharacter", MD5 + "  a", LineKind::TextEntry, Algorithm::Md5, "a"},
        LineCase{"Uppercase", upper(MD5) + "  a", LineKind::TextEntry, Algorithm::Md5, "a"},
        LineCase{"LeadingBlanks", " \t" + SHA256 + " *a", LineKind::BinaryEntry, Algorithm::Sha256,
                 "a"},
        LineCase{"Sha1", hexOfLength(40) + "  a", LineKind::TextEntry, Algorithm::Sha1, "a"},
        LineCase{"Sha224", hexOfLength(56) + "  a", LineKind::TextEntry, Algorithm::Sha224, "a"},
        LineCase{"Sha384", hexOfLength(96) + "  a", LineKind::TextEntry, Algorithm::Sha384, "a"},
        LineCase{"Sha512", SHA512 + "  a", LineKind::TextEntry, Algorithm::Sha512, "a"},
        LineCase{"Blake2bByListName", SHA512 + "  a", LineKind::TextEntry, Algorithm::Blake2b512,
                 "a", Algorithm::Blake2b512},
        LineCase{"Blake2b256ByListName", SHA256 + "  a", LineKind::TextEntry, Algorithm::Blake2b512,
                 "a", Algorithm::Blake2b512, 64},
        LineCase{"Blake2b8ByListName", hexOfLength(2) + " *a", LineKind::BinaryEntry,
                 Algorithm::Blake2b512, "a", Algorithm::Blake2b512, 2},
        LineCase{"OddLengthInBlake2bList", SHA256 + "a  a", LineKind::NotUnderstood, Algorithm::Md5,
                 "", Algorithm::Blake2b512},
        LineCase{"LongerThan512InBlake2bList", hexOfLength(130) + "  a", LineKind::NotUnderstood,
                 Algorithm::Md5, "", Algorithm::Blake2b512},
        LineCase{"OneCarriageReturnTrimmed", MD5 + " *a\r\r", LineKind::BinaryEntry, Algorithm::Md5,
                 "a\r"},
        LineCase{"Escaped", "\\" + MD5 + " *a\\\\b\\nc\\rd", LineKind::BinaryEntry, Algorithm::Md5,
                 "a\\b\nc\rd"},
        LineCase{"UnescapedBackslashIsLiteral", MD5 + " *a\\nb", LineKind::BinaryEntry,
                 Algorithm::Md5, "a\\nb"},
        LineCase{"TaggedSha256", "SHA256 (a (1).iso) = " + SHA256, LineKind::BinaryEntry,
                 Algorithm::Sha256, "a (1).iso"},
        LineCase{"TaggedUppercaseCr", "MD5 (a) = " + upper(MD5) + "\r", LineKind::BinaryEntry,
                 Algorithm::Md5, "a"},
        LineCase{"TaggedBlake2b", "BLAKE2b (a) = " + SHA512, LineKind::BinaryEntry,
                 Algorithm::Blake2b512, "a"},
        LineCase{"TaggedBlake2b512", "BLAKE2b-512 (a) = " + SHA512, LineKind::BinaryEntry,
                 Algorithm::Blake2b512, "a"},
        LineCase{"TaggedBlake2b160", "BLAKE2b-160 (a) = " + hexOfLength(40), LineKind::BinaryEntry,
                 Algorithm::Blake2b512, "a", std::nullopt, 40},
        LineCase{"TaggedEscaped", "\\SHA1 (a\\nb) = " + hexOfLength(40), LineKind::BinaryEntry,
                 Algorithm::Sha1, "a\nb"},
        LineCase{"TaggedSha3", "SHA3-256 (a) = " + SHA256, LineKind::BinaryEntry,
                 Algorithm::Sha3_256, "a"},
        LineCase{"TaggedBlake3", "BLAKE3 (a) = " + SHA256, LineKind::BinaryEntry, Algorithm::Blake3,
                 "a"},
        LineCase{"TaggedXxh3", "XXH3 (a) = " + hexOfLength(16), LineKind::BinaryEntry,
                 Algorithm::Xxh3, "a"},
        LineCase{"TaggedXxh128", "XXH128 (a) = " + MD5, LineKind::BinaryEntry, Algorithm::Xxh128,
                 "a"},
        LineCase{"TaggedCrc32", "CRC32 (a) = " + hexOfLength(8), LineKind::BinaryEntry,
                 Algorithm::Crc32, "a"},
        // cksum --base64: the bytes 01 02 ... of each length, padded to whole groups of four.
        LineCase{"Base64Sha256", "SHA256 (a) = AQIDBAUGBwgJCgsMDQ4PEBESExQVFhcYGRobHB0eHyA=",
                 LineKind::BinaryEntry, Algorithm::Sha256, "a"},
        LineCase{"Base64Md5", "MD5 (a) = AQIDBAUGBwgJCgsMDQ4PEA==", LineKind::BinaryEntry,
                 Algorithm::Md5, "a"},
        LineCase{"Base64Sha384",
                 "SHA384 (a) = AQIDBAUGBwgJCgsMDQ4PEBESExQVFhcYGRobHB0eHyAhIiMkJSYnKCkqKywtLi8w",
                 LineKind::BinaryEntry, Algorithm::Sha384, "a"},
        LineCase{"Blake3ByListName", SHA256 + "  a", LineKind::TextEntry, Algorithm::Blake3, "a",
                 Algorithm::Blake3},
        LineCase{"Xxh64ByListName", hexOfLength(16) + "  a", LineKind::TextEntry, Algorithm::Xxh64,
                 "a", Algorithm::Xxh64},
        LineCase{"Xxh128ByListName", MD5 + "  a", LineKind::TextEntry, Algorithm::Xxh128, "a",
                 Algorithm::Xxh128},
        LineCase{"Sfv", "dir\\a b  " + upper(hexOfLength(8)) + " \r", LineKind::BinaryEntry,
                 Algorithm::Crc32, "dir/a b", Algorithm::Crc32},
        LineCase{"TaggedInSfv", "CRC32 (a) = " + hexOfLength(8), LineKind::BinaryEntry,
                 Algorithm::Crc32, "a", Algorithm::Crc32},
        LineCase{"LongestName", MD5 + "  " + LONGEST, LineKind::TextEntry, Algorithm::Md5, LONGEST},
        other("Comment", "  # " + MD5 + "  a", LineKind::Quiet),
        other("Blank", " \t\r", LineKind::Quiet),
        other("SingleSpace", MD5 + " a", LineKind::NotUnderstood),
        other("Tab", MD5 + "\ta", LineKind::NotUnderstood),
        other("NoName", MD5 + "  ", LineKind::NotUnderstood),
        other("DigestAlone", MD5, LineKind::NotUnderstood),
        other("OddLength", hexOfLength(32) + "a  a", LineKind::NotUnderstood),
        other("UnknownLength", hexOfLength(48) + "  a", LineKind::NotUnderstood),
        other("NonHex", MD5.substr(1) + "g  a", LineKind::NotUnderstood),
        other("NameTooLong", MD5 + "  " + LONGEST + "n", LineKind::NotUnderstood),
        other("BadEscape", "\\" + MD5 + "  a\\tb", LineKind::NotUnderstood),
        other("TagOfWrongLength", "SHA256 (a) = " + MD5, LineKind::NotUnderstood),
        other("Blake2bTagOfOtherLength", "BLAKE2b-256 (a) = " + SHA512, LineKind::NotUnderstood),
        other("Blake2bTagBeyond512", "BLAKE2b-520 (a) = " + hexOfLength(130),
              LineKind::NotUnderstood),
        other("UnknownTag", "SHA3 (a) = " + SHA256, LineKind::NotUnderstood),
        other("TaggedTrailingText", "MD5 (a) = " + MD5 + " x", LineKind::NotUnderstood),
        other("TaggedNoName", "MD5 () = " + MD5, LineKind::NotUnderstood),
        other("Prose", "Checksums for release 1.2", LineKind::NotUnderstood),
        // A non-cryptographic checksum is never taken from its length alone.
        other("SixteenDigits", hexOfLength(16) + "  a", LineKind::NotUnderstood),
        other("SfvOutsideSfvFile", "a " + hexOfLength(8), LineKind::NotUnderstood),
        LineCase{"OtherLengthInNamedList", MD5 + "  a", LineKind::NotUnderstood, Algorithm::Md5, "",
                 Algorithm::Sha3_256},
        LineCase{"SfvComment", "; a " + hexOfLength(8), LineKind::Quiet, Algorithm::Md5, "",
                 Algorithm::Crc32},
        LineCase{"SfvNineDigits", "a 0" + hexOfLength(8), LineKind::NotUnderstood, Algorithm::Md5,
                 "", Algorithm::Crc32},
        LineCase{"SfvNoName", " " + hexOfLength(8), LineKind::NotUnderstood, Algorithm::Md5, "",
                 Algorithm::Crc32},
        other("Base64WrongPadding", "MD5 (a) = AQIDBAUGBwgJCgsMDQ4PEA=A", LineKind::NotUnderstood),
        other("Base64NotCanonical", "MD5 (a) = AQIDBAUGBwgJCgsMDQ4PEB==", LineKind::NotUnderstood)),
    [](const testing::TestParamInfo<LineCase>& info) { return std::string(info.param.what); });

TEST(ListNameTest, AlgorithmsNamedByTheListsName) {
    const std::pair<const char*, std::optional<Algorithm>> NAMES[] = {
        {"B2SUMS", Algorithm::Blake2b512},
        {"dir/b2sums.txt", Algorithm::Blake2b512},
        {"blake2.list", Algorithm::Blake2b512},
        {"x.B2", Algorithm::Blake2b512},
        {"x.blake2", Algorithm::Blake2b512},
        {"x.blake2b", Algorithm::Blake2b512},
        {"B3SUMS", Algorithm::Blake3},
        {"x.b3", Algorithm::Blake3},
        {"b2-tools.BLAKE3", Algorithm::Blake3},
        {"x.sha3-256", Algorithm::Sha3_256},
        {"x.SHA3-512", Algorithm::Sha3_512},
        {"x.xxh64", Algorithm::Xxh64},
        {"x.xxh3", Algorithm::Xxh3},
        {"x.xxh128", Algorithm::Xxh128},
        {"disc.SFV", Algorithm::Crc32},
        {"SHA512SUMS", std::nullopt},
        {"b2/SHA512SUMS", std::nullopt},
        {"x.b2.txt", std::nullopt},
        {"", std::nullopt},
        {"sub.b", std::nullopt},
        {"b2sdk-1.0.tar.gz.sha256", std::nullopt},
        {"blake2-tools.MD5", std::nullopt},
        {"x.sfv.txt", std::nullopt},
    };
    for (const auto& [name, algorithm] : NAMES) {
        EXPECT_EQ(algorithmOfListName(name), algorithm) << name;
    }
}

TEST(ListNameTest, NamesOfChecksumListsAndOfOneFilesList) {
    for (const char* name : {"SHA256SUMS", "sha512sums.txt", "a.iso.SHA256", "a.iso.sha256sum",
                             "a.iso-sha512.sum", "Fedora-1-x86_64-CHECKSUM", "CHECKSUM",
                             "checksums.txt", "sha256sum.txt", "x.md5.txt", "B2SUMS"}) {
        EXPECT_TRUE(namesChecksumList(name)) << name;
    }
    for (const char* name : {"sha256sum", "a.iso", ".sha256", "notes.txt", "sha256", "a-sha256"}) {
        EXPECT_FALSE(namesChecksumList(name)) << name;
    }
    Algorithm algorithm = Algorithm::Md5;
    EXPECT_TRUE(namesListOfOneFile("a.iso.sha512sum", "a.iso", algorithm));
    EXPECT_EQ(algorithm, Algorithm::Sha512);
    EXPECT_FALSE(namesListOfOneFile("a.iso.sha512", "b.iso", algorithm));
    EXPECT_FALSE(namesListOfOneFile("SHA256SUMS", "", algorithm));
}

// A BLAKE2b digest of any length reads back as itself from a list of any name: it is written
// tagged, with its length where that is not 512 bits, as b2sum --tag writes it.
TEST(FormatListLineTest, Blake2bOfEveryLengthReadsBack) {
    for (std::size_t length = 1; length <= MAX_DIGEST_BYTES; ++length) {
        Digest digest = Digest::of(Algorithm::Blake2b512, length);
        digest[length - 1] = static_cast<std::uint8_t>(length);
        const std::string line = formatListLine(digest, "a b");
        Digest again;
        std::string name;
        EXPECT_EQ(parseListLine(line, std::nullopt, again, name), LineKind::BinaryEntry) << line;
        EXPECT_EQ(again, digest) << line;
        EXPECT_EQ(name, "a b");
    }
    EXPECT_EQ(formatListLine(Digest::of(Algorithm::Blake2b512, 32), "a"),
              "BLAKE2b-256 (a) = " + std::string(64, '0'));
    EXPECT_EQ(formatListLine(Digest::of(Algorithm::Blake2b512), "a"),
              "BLAKE2b (a) = " + std::string(128, '0'));
}

// A CRC32 line is an SFV entry where SFV can carry the name, and tagged where it cannot; either
// reads back from an SFV file.
TEST(FormatListLineTest, Crc32ReadsBackFromAnSfvFile) {
    Digest digest = Digest::of(Algorithm::Crc32);
    digest[3] = 0xab;
    EXPECT_EQ(formatListLine(digest, "dir/a b"), "dir/a b 000000AB");
    for (const char* name : {"dir/a b", " lead", "trail ", ";semi", "CRC32 (x) =", "a\\b"}) {
        const std::string line = formatListLine(digest, name);
        Digest again;
        std::string nameAgain;
        EXPECT_EQ(parseListLine(line, Algorithm::Crc32, again, nameAgain), LineKind::BinaryEntry)
            << line;
        EXPECT_EQ(again, digest) << line;
        EXPECT_EQ(nameAgain, name) << line;
    }
}

// Reads every line of bytes, as the kinds the reader gives and the names of its entries.
struct ReadLines {
    std::vector<LineKind> kinds;
    std::vector<std::string> names;
    std::vector<std::string> texts;
};

ReadLines readAll(std::string bytes) {
    std::FILE* stream = fmemopen(bytes.data(), bytes.size(), "r");
    ReadLines read;
    ListReader reader(stream);
    ListLine line;
    while (reader.next(line) != LineKind::End) {
        read.kinds.push_back(line.kind);
        read.names.push_back(line.kind == LineKind::NotUnderstood ? "" : line.name);
        read.texts.push_back(line.text);
    }
    std::fclose(stream);
    return read;
}

using K = LineKind;

// A line is read whole whatever its length: a line too long for any name is one line not
// understood, and nothing on it is ever read as an entry of its own.
TEST(ListReaderTest, LongLinesAreOneLineNeverPieces) {
    const std::string longLine = MD5 + "  " + std::string(3 * MAX_LINE_BYTES, 'x') + MD5 + " *b";
    const ReadLines read = readAll(longLine + "\n" + MD5 + "  c");
    ASSERT_EQ(read.kinds, (std::vector<LineKind>{K::NotUnderstood, K::TextEntry}));
    EXPECT_EQ(read.texts[0], longLine.substr(0, MAX_LINE_BYTES) + "...\n");
    EXPECT_EQ(read.names[1], "c");
    EXPECT_EQ(read.texts[1], MD5 + "  c\n"); // the last line's text ends a message
}

TEST(ListReaderTest, LinesWithNulAreNotUnderstood) {
    const ReadLines read = readAll(MD5 + "  ab" + std::string(1, '\0') + "cd\n");
    EXPECT_EQ(read.kinds, std::vector<LineKind>{K::NotUnderstood});
}

// The armor of a clearsigned list is quiet; what is not armor in its place is read as any line,
// so that an entry is never hidden in a header or signature that never ends.
TEST(ListReaderTest, ClearsignEnvelopeIsQuietButHidesNoEntry) {
    const std::string signature = "-----BEGIN PGP SIGNATURE-----\n"
                                  "\n"
                                  "iQIzBAEBCAAdFiEE+abc/123=\n"
                                  "=Ab3x\n"
                                  "-----END PGP SIGNATURE-----\n";
    const ReadLines signed_ = readAll("-----BEGIN PGP SIGNED MESSAGE-----\n"
                                      "Hash: SHA256\n"
                                      "\n"
                                      "# image.iso: 2048 bytes\n"
                                      "SHA256 (image.iso) = " +
                                      SHA256 + "\n" + signature);
    EXPECT_EQ(signed_.kinds,
              (std::vector<LineKind>{K::Quiet, K::Quiet, K::Quiet, K::Quiet, K::BinaryEntry,
                                     K::Quiet, K::Quiet, K::Quiet, K::Quiet, K::Quiet}));
    EXPECT_EQ(signed_.names[4], "image.iso");

    // Neither an entry nor an entry whose name is a blank hides in armor that never ends.
    const ReadLines unended = readAll("-----BEGIN PGP SIGNED MESSAGE-----\n" + MD5 + "  a\n" +
                                      "-----BEGIN PGP SIGNATURE-----\n" + MD5 + "  b\n" +
                                      "-----BEGIN PGP SIGNATURE-----\n" + MD5 + "   \r\n");
    EXPECT_EQ(unended.kinds, (std::vector<LineKind>{K::Quiet, K::TextEntry, K::Quiet, K::TextEntry,
                                                    K::Quiet, K::TextEntry}));
}

// readListLine reads one line on its own and reports a line not understood.
TEST(ReadListLineTest, EntriesAndTheDiagnostic) {
    std::string bytes = MD5 + " *file.bin\n" + MD5 + " xfile\n# note\n";
    std::FILE* stream = fmemopen(bytes.data(), bytes.size(), "r");
    Digest expected;
    std::string name;
    testing::internal::CaptureStderr();
    EXPECT_EQ(readListLine(stream, expected, name), 2);
    EXPECT_EQ(name, "file.bin");
    EXPECT_EQ(readListLine(stream, expected, name), 0);
    EXPECT_EQ(readListLine(stream, expected, name), 0);
    EXPECT_EQ(readListLine(stream, expected, name), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "md5sum: unrecognized line: " + MD5 + " xfile\n");
    std::fclose(stream);
}

// Counting a list's entries takes exactly the entries, says nothing, and stops when asked.
TEST(CountListEntriesTest, CountsEntriesSilentlyAndStopsWhenAsked) {
    std::string bytes = MD5 + "  a\njunk\n" + MD5 + " ?wrong marker\nSHA256 (b) = " + SHA256 +
                        "\n" + MD5 + "  last";
    std::FILE* list = fmemopen(bytes.data(), bytes.size(), "r");
    testing::internal::CaptureStderr();
    EXPECT_EQ(countListEntries(list), 3);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    std::fclose(list);

    struct Refusing : WorkMeter {
        bool advance(std::uint64_t) override { return false; }
    } refusing;
    list = fmemopen(bytes.data(), bytes.size(), "r");
    EXPECT_EQ(countListEntries(list, &refusing), -1);
    std::fclose(list);
}

} // namespace
