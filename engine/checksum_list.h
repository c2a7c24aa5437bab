#pragma once

#include <cstdio>
#include <string>

#include "engine/digest.h"
#include "engine/work_meter.h"

/// Status of one result; also the index of its status image.
inline constexpr int STATUS_FAILED = 0;
inline constexpr int STATUS_OK = 1;
inline constexpr int STATUS_UNREADABLE = 2;
/// A dropped file that no checksum list beside it names: its digest, nothing to compare it with.
inline constexpr int STATUS_NO_LIST = 3;
/// The rows of a checksum list's signature: good, BAD, and neither (not checked, or made by a key
/// that is missing, expired or revoked).
inline constexpr int STATUS_SIGNATURE_GOOD = 4;
inline constexpr int STATUS_SIGNATURE_BAD = 5;
inline constexpr int STATUS_SIGNATURE_UNVERIFIED = 6;

/// Receives one result per listed or dropped file. A null digest means none exists for the row.
class ResultSink {
public:
    virtual ~ResultSink() = default;
    virtual void addResult(const char* name, const Digest* expected, const Digest* actual,
                           int status) = 0;
    /// A result whose file could not be read, with the reason: error is the errno of the open
    /// that failed, or EIO for reading that failed part-way. It has no actual digest. Sinks that
    /// do not keep reasons take it as a plain result.
    virtual void addUnreadResult(const char* name, const Digest* expected, int status, int error) {
        (void)error;
        addResult(name, expected, nullptr, status);
    }
    /// A line of a list was not understood (and a diagnostic said so); no result comes of it.
    virtual void lineNotUnderstood() {}
};

/// Reads and parses the next line of a checksum list on its own (see parseListLine). Returns -1
/// when no line could be read, 0 for a line that is no entry (a line not understood gets the
/// "unrecognized line" diagnostic), 1 for a text entry and 2 for a binary entry; for 1 and 2,
/// expected and name hold the line's digest and name.
int readListLine(std::FILE* stream, Digest& expected, std::string& name);

/// The number of entries in list, read to its end without any message; -1 when meter (told once
/// per line) asked to stop.
int countListEntries(std::FILE* list, WorkMeter* meter = nullptr);

/// Verifies every file named in list (see ListReader for the lines it reads; listName, if any,
/// is the list's file name, which tells what untagged hex digits mean), reporting each to
/// sink and writing md5sum-style diagnostics to stderr; every line not understood gets one too.
/// Returns 3 when nothing was compared, else 2 when a file could not be opened or read, else 1
/// when a digest differed, else 0. The list stream is not closed.
///
/// Files are opened ahead and hashed side by side (see hashInOrder) and reported strictly in
/// list order: rows, diagnostics and the result are those of verifyListOneAtATime for every
/// list. Memory stays bounded whatever the list's length.
///
/// meter (if any) hears of every line read and of the bytes hashed, each file's bytes at its turn
/// in list order. When it asks to stop, the run ends at once with VERIFY_STOPPED: results
/// already reported stay; files read ahead get no result and no diagnostic, lines read ahead no
/// diagnostic, and no closing message is written.
int verifyList(std::FILE* list, ResultSink& sink, bool verbose, bool binary,
               WorkMeter* meter = nullptr, const char* listName = nullptr);

/// verifyList hashing one file after the other, each through digestStream, which hears of every
/// 1024-byte piece. The same results, more slowly; kept to compare the two.
int verifyListOneAtATime(std::FILE* list, ResultSink& sink, bool verbose, bool binary,
                         WorkMeter* meter = nullptr, const char* listName = nullptr);
