#pragma once

#include <cstdio>

#include "engine/md5.h"
#include "engine/work_meter.h"

/// Status of one result; also the index of its status image.
inline constexpr int STATUS_FAILED = 0;
inline constexpr int STATUS_OK = 1;
inline constexpr int STATUS_UNREADABLE = 2;

/// Receives one result per listed or dropped file. A null digest means none exists for the row.
class ResultSink {
public:
    virtual ~ResultSink() = default;
    virtual void addResult(const char* name, const Digest* expected, const Digest* actual,
                           int status) = 0;
};

/// Reads and parses the next checksum-list line. Returns -1 when no line could be read, 0 for a
/// skipped line, 1 for a text entry and 2 for a binary entry; for 1 and 2, expected and name hold
/// the line's digest and name (the line feed removed).
int readListLine(std::FILE* stream, Digest& expected, char (&name)[256]);

/// The number of lines of list that readListLine takes as entries, read to the list's end without
/// any message; -1 when meter (told once per line) asked to stop.
int countListEntries(std::FILE* list, WorkMeter* meter = nullptr);

/// Verifies every file named in list, reporting each to sink and writing md5sum-style diagnostics
/// to stderr. Returns 3 when nothing was compared, else 2 when a file could not be opened or read,
/// else 1 when a digest differed, else 0. The list stream is not closed.
///
/// Files are opened ahead and hashed side by side, one per lane of a multi-lane MD5 (see
/// md5_lanes.h), and reported strictly in list order: rows, diagnostics and the result are those
/// of verifyListOneAtATime for every list. Memory stays bounded whatever the list's length.
///
/// meter (if any) hears of every line read and of the bytes hashed, in pieces of at most 128 KiB,
/// each file's bytes at its turn in list order (see HashWindow). When it asks to stop, the run
/// ends at once with VERIFY_STOPPED: results already reported stay; files read ahead get no
/// result and no diagnostic, lines read ahead no diagnostic, and no closing message is written.
int verifyList(std::FILE* list, ResultSink& sink, bool verbose, bool binary,
               WorkMeter* meter = nullptr);

/// verifyList hashing one file after the other, each through digestStream, which hears of every
/// 1024-byte piece. The same results, more slowly; kept to compare the two.
int verifyListOneAtATime(std::FILE* list, ResultSink& sink, bool verbose, bool binary,
                         WorkMeter* meter = nullptr);
