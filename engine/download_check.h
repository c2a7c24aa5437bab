#pragma once

// Checking a downloaded file against the checksum lists published beside it.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/checksum_list.h"
#include "engine/digest.h"
#include "engine/work_meter.h"

/// How much of a file is looked at to tell whether it is a checksum list.
inline constexpr std::size_t LIST_SNIFF_BYTES = 64 * 1024;

/// Whether the file at path is read as a checksum list when it is dropped to be checked: a file
/// named as a list (see namesChecksumList) always is; any other is when its first
/// LIST_SNIFF_BYTES hold no NUL byte and at least one entry. A file that cannot be opened counts
/// as a list, so that it gets the row of a list that could not be opened.
bool readsAsChecksumList(const char* path, const std::string& fileName);

/// One entry of a list beside a file that names the file.
struct DownloadEntry {
    Digest expected;
    bool text = false; ///< a text-mode entry ("hex  name")
    std::string list;  ///< the list's file name, in the file's folder
};

/// The entries that name fileName in the checksum lists of folder ("" for the current one),
/// lists in byte order of their names, entries in list order. An entry names the file when its
/// name, from the list's folder, is the file; or, when that path does not exist, when its last
/// component is fileName (a list written with the publisher's own paths). A list named
/// "fileName.ALG" whose one line besides comments is a bare digest of ALG's length names it too.
/// Lists that cannot be read, and lines that are not understood, are passed over without a word:
/// they are lists of other files. listsNaming receives the names of the lists that named it.
std::vector<DownloadEntry> entriesNaming(const std::string& folder, const std::string& fileName,
                                         std::vector<std::string>* listsNaming = nullptr);

/// Checks the file at path (opened as given) against every entry, reading it once however many
/// there are: a row each under name and md5sum's diagnostics for each, as verifyList writes
/// them (text entries read in text mode unless binary). Returns as verifyList does; the meter
/// hears every piece once.
int checkDownload(const char* path, const std::string& name,
                  const std::vector<DownloadEntry>& entries, ResultSink& sink, bool verbose,
                  bool binary, WorkMeter* meter = nullptr);

/// The digest of the file at path in algorithm, read once; false when it could not be opened or
/// read (digest then unset; error the open's errno, or EIO), or a stop came (stopped set).
bool digestFileAt(const char* path, Algorithm algorithm, Digest& digest, WorkMeter* meter,
                  bool& stopped, int& error);
