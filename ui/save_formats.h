#pragma once

// What "Save As ..." writes: the report as a checksum list named after its algorithm, or a
// results table of every row.

#include <string>
#include <vector>

#include "platform/desktop_services.h"
#include "ui/result_row.h"

/// The kinds of file Save As offers, in this order.
enum class SaveFormat { ChecksumList, ResultsTable, AnyFile };

/// The name a checksum list of the algorithms (a bit per Algorithm) is known by: "MD5SUMS",
/// "SHA256SUMS", "B2SUMS"; "CHECKSUMS" for none or several.
std::string checksumListName(unsigned algorithms);
/// The kinds of file offered, indexed by SaveFormat: the checksum list of the algorithms
/// ("SHA-256 checksum list", "*.sha256" and "SHA256SUMS"), "Results table" ("*.csv"), and
/// "All Files" ("*").
std::vector<FileType> saveFileTypes(unsigned algorithms);
/// The format a chosen path and kind of file ask for: the results table for its kind, and for
/// "All Files" with a name ending in ".csv".
SaveFormat saveFormatOf(int chosenType, const std::string& path);

/// The rows as a results table: comma-separated values as RFC 4180 has them (a header line,
/// lines ending CR LF, a field holding a comma, quote, CR or LF in quotes with its quotes
/// doubled), texts as the rows hold them (names in the system's bytes, UTF-8 as a rule). Fields:
/// Filename, Status, Reason, Algorithm, File Checksum, Actual Checksum.
std::string resultsTable(const std::vector<const ResultRow*>& rows);
