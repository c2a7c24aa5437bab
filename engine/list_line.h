#pragma once

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "engine/digest.h"

/// The longest name an entry may carry, in bytes: the system's path limit less its NUL.
inline constexpr std::size_t MAX_NAME_BYTES = 4095;
/// The longest line kept whole. A longer line is one line not understood; it is never cut into
/// pieces that could read as entries of their own.
inline constexpr std::size_t MAX_LINE_BYTES = 2 * MAX_NAME_BYTES + 256;

/// What one line of a checksum list is.
enum class LineKind {
    End,           ///< no line could be read: the list ended, or reading it failed
    Quiet,         ///< a comment, a blank line, or part of an OpenPGP clearsign envelope
    NotUnderstood, ///< nothing the reader knows: it gets a diagnostic and is counted
    TextEntry,     ///< "hex  name"
    BinaryEntry,   ///< "hex *name", or a tagged line "TAG (name) = hex"
};

/// One line as the reader found it.
struct ListLine {
    LineKind kind = LineKind::End;
    /// For an entry: the digest the list expects (its algorithm and length from tag or digits)
    /// and the file's name, escapes undone and one trailing carriage return removed.
    Digest expected;
    std::string name;
    /// The entry is untagged and the list's name does not say its algorithm: the algorithm was
    /// taken from the digest's length, and another of that length may be meant.
    bool byLength = false;
    /// The line as read, with its line feed (one is added to a last line without it); a line
    /// longer than MAX_LINE_BYTES keeps its first MAX_LINE_BYTES bytes and "...".
    std::string text;
};

/// The algorithm a list's file name gives its untagged digests, which it names ahead of their
/// length: "*.sha3-224" ... "*.sha3-512", "*.b3", "*.blake3" and "B3SUMS", "*.xxh64", "*.xxh3",
/// "*.xxh128", "*.sfv" (CRC32), and b2sum's lists, BLAKE2b of any length (the name starts with
/// "b2" or "blake2", or ends in ".b2", ".blake2" or ".blake2b", and does not end in another
/// algorithm's suffix such as ".sha256"); any letter case. None: the digest's length says.
std::optional<Algorithm> algorithmOfListName(std::string_view listName);

/// Whether a file of this name is a checksum list by its name alone, letter case aside:
/// "NAME.md5", "NAME.sha1" ... "NAME.sha512", "NAME.b2", "NAME.sha3-256", "NAME.b3",
/// "NAME.xxh128" and the like, also as "NAME.sha256sum" and "NAME-sha256.sum"; "NAME.sfv";
/// MD5SUMS, SHA1SUMS ... SHA512SUMS, B2SUMS, B3SUMS, CHECKSUM, CHECKSUMS and "*-CHECKSUM"; and
/// any of these with ".txt" after it, as well as "sha256sum.txt" and the like.
bool namesChecksumList(std::string_view fileName);

/// Whether listName is fileName with a one-algorithm list suffix after it ("a.iso.sha256",
/// "a.iso.sha256sum", "a.iso-sha256.sum"); algorithm receives the suffix's.
bool namesListOfOneFile(std::string_view listName, std::string_view fileName, Algorithm& algorithm);

/// Parses one line, without its line feed, in the forms GNU coreutils reads: leading blanks;
/// "hex  name" and "hex *name"; a leading '\' marking an escaped name (\\, \n, \r); the tagged
/// form "TAG (name) = digest" for the tags algorithmTag gives and BLAKE2b-N (N bits, a multiple
/// of 8 up to 512), the digest in hex or in base64 (as cksum --base64 writes it), as long as the
/// tag says; hex in either letter case. An untagged digest's algorithm is named, when the list's
/// name gives one (see algorithmOfListName; BLAKE2b: any even number of digits up to 128);
/// otherwise it follows from its length: 32 digits MD5, 40 SHA-1, 56 SHA-224, 64 SHA-256, 96
/// SHA-384, 128 SHA-512, never a non-cryptographic algorithm. A list named for CRC32 is an SFV
/// file: its entries are "name HEX8", '\' separating folders as on the system that wrote them, and
/// its comments start with ';'. A comment or blank line is Quiet; everything else is
/// NotUnderstood, a single space or a tab between digest and name included.
LineKind parseListLine(std::string_view line, std::optional<Algorithm> named, Digest& expected,
                       std::string& name);

/// The line of a checksum list that gives digest for name, without a line end, in the form the
/// peer tool that writes such lists reads back: "hex *name" for MD5, SHA-1 and SHA-2, which the
/// coreutils tool reads with --strict; "hex  name" for BLAKE3, as b3sum writes it; "name HEX8"
/// for CRC32, a line of an SFV file; and the tagged form "TAG (name) = hex" for the others
/// (BLAKE2b-N for N bits other than 512, as b2sum --tag writes it), whose untagged digits would
/// read back as another algorithm from a list whose file name does not say otherwise. A name
/// holding a backslash, a line feed or a carriage return is escaped (\\, \n, \r) and the line
/// starts with '\'; SFV has no escapes, so such a CRC32 line is tagged.
std::string formatListLine(const Digest& digest, std::string_view name);

/// Reads a checksum list line by line, each line whole whatever its length, and knows where it
/// stands in an OpenPGP clearsign envelope: the armor header from "-----BEGIN PGP SIGNED
/// MESSAGE-----" to its blank line, and the signature from "-----BEGIN PGP SIGNATURE-----" to
/// "-----END PGP SIGNATURE-----", are Quiet. A line in them that is not armor (a header field,
/// base64) ends them and is read as any other, so that no entry is ever hidden there.
class ListReader {
public:
    /// listName (may be null) decides what untagged digits mean; see algorithmOfListName.
    explicit ListReader(std::FILE* list, const char* listName = nullptr);

    /// Reads and parses the next line into line; returns its kind.
    LineKind next(ListLine& line);

private:
    enum class Envelope { Outside, ArmorHeader, Signature };

    /// Reads one line into text; false at the end of the list. tooLong: the line went past
    /// MAX_LINE_BYTES, and text holds its start.
    bool readLine(std::string& text, bool& tooLong, bool& hasNul);
    bool quietInEnvelope(std::string_view line);

    std::FILE* list_;
    std::optional<Algorithm> named_;
    Envelope envelope_ = Envelope::Outside;
};
