#pragma once

#include <cstddef>
#include <cstdio>
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
    /// The line as read, with its line feed (one is added to a last line without it); a line
    /// longer than MAX_LINE_BYTES keeps its first MAX_LINE_BYTES bytes and "...".
    std::string text;
};

/// Whether a list of this file name holds BLAKE2b digests in its untagged lines (b2sum's lists:
/// the name starts with "b2" or "blake2", or ends in ".b2", ".blake2" or ".blake2b", in any
/// letter case, and does not end in another algorithm's suffix such as ".sha256"), each as long
/// as its digits say, where their length would otherwise name the algorithm.
bool namesBlake2List(std::string_view listName);

/// Whether a file of this name is a checksum list by its name alone, letter case aside:
/// "NAME.md5", "NAME.sha1" ... "NAME.sha512" and "NAME.b2", also as "NAME.sha256sum" and
/// "NAME-sha256.sum"; MD5SUMS, SHA1SUMS ... SHA512SUMS, B2SUMS, CHECKSUM, CHECKSUMS and
/// "*-CHECKSUM"; and any of these with ".txt" after it, as well as "sha256sum.txt" and the like.
bool namesChecksumList(std::string_view fileName);

/// Whether listName is fileName with a one-algorithm list suffix after it ("a.iso.sha256",
/// "a.iso.sha256sum", "a.iso-sha256.sum"); algorithm receives the suffix's.
bool namesListOfOneFile(std::string_view listName, std::string_view fileName, Algorithm& algorithm);

/// Parses one line, without its line feed, in the forms GNU coreutils reads: leading blanks;
/// "hex  name" and "hex *name"; a leading '\' marking an escaped name (\\, \n, \r); the tagged
/// form "TAG (name) = hex" for MD5, SHA1, SHA224, SHA256, SHA384, SHA512, BLAKE2b (512 bits) and
/// BLAKE2b-N (N bits, a multiple of 8 up to 512), the digits as many as the tag says; hex in
/// either letter case. An untagged digest's algorithm follows from its length: 32 digits MD5,
/// 40 SHA-1, 56 SHA-224, 64 SHA-256, 96 SHA-384, 128 SHA-512; when blake2 is set, any even
/// number of digits up to 128 is BLAKE2b of that length. A comment or blank line is Quiet;
/// everything else is NotUnderstood, a single space or a tab between digest and name included.
LineKind parseListLine(std::string_view line, bool blake2, Digest& expected, std::string& name);

/// The line of a checksum list that gives digest for name, without a line end: "hex *name", the
/// form the matching coreutils tool reads with --strict. A name holding a backslash, a line feed
/// or a carriage return is escaped (\\, \n, \r) and the line starts with '\'. BLAKE2b digests take
/// the tagged form "BLAKE2b (name) = hex", or "BLAKE2b-N (name) = hex" for N bits other than
/// 512, which b2sum reads as well: untagged, their digits would read back as another algorithm
/// from a list whose file name does not say otherwise.
std::string formatListLine(const Digest& digest, std::string_view name);

/// Reads a checksum list line by line, each line whole whatever its length, and knows where it
/// stands in an OpenPGP clearsign envelope: the armor header from "-----BEGIN PGP SIGNED
/// MESSAGE-----" to its blank line, and the signature from "-----BEGIN PGP SIGNATURE-----" to
/// "-----END PGP SIGNATURE-----", are Quiet. A line in them that is not armor (a header field,
/// base64) ends them and is read as any other, so that no entry is ever hidden there.
class ListReader {
public:
    /// listName (may be null) decides what untagged hex digits mean; see namesBlake2List.
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
    bool blake2_;
    Envelope envelope_ = Envelope::Outside;
};
