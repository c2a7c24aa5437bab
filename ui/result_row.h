#pragma once

#include <optional>
#include <string>

#include "engine/digest.h"

/// One row of the result list as the window keeps it, whatever order the list shows it in.
struct ResultRow {
    std::string name;
    std::string expected;  ///< the "File Checksum" cell: hex digits, or a note's words
    std::string actual;    ///< the "Actual Checksum" cell: hex digits, or a note's detail
    std::string algorithm; ///< the "Algorithm" cell: "SHA-256", or empty
    int status = 0;        ///< STATUS_*, also the index of its status image
    int error = 0;         ///< why the row's file could not be read (errno, EIO part-way); 0: read
    std::optional<Digest> actualDigest;
    bool note = false;       ///< no file's result: words and a detail where the digests go
    std::size_t arrival = 0; ///< 0 for the first row the list was given since it was emptied
};

/// Whether a row of status asks for the user's attention: a file FAILED or not read, a BAD or
/// unverified signature, a file no list names (it was checked against nothing). OK rows and good
/// signatures are no problem.
bool isProblem(int status);
/// Where status sorts, first to last: BAD signature, FAILED, could not be read, signature not
/// verified, no checksum list found, OK, good signature.
int statusRank(int status);
/// The reason a file could not be read, in words: "No such file", "Permission denied", "Is a
/// folder", "Read error", "Not a regular file", or the system's own words for other errors.
std::string reasonText(int error);
/// The "Status" cell: "FAILED", "OK", "Good signature", ...; for a file not read, why: "No such
/// file".
std::string statusCell(const ResultRow& row);
