#pragma once

#include <string>

#include "engine/checksum_list.h"

/// Where the results of a drop's work go: rows and report lines, and their clearing.
class DropResults : public ResultSink {
public:
    /// Deletes every row and empties the report text.
    virtual void clearResults() = 0;
    /// Adds a row that is no file's result, such as a list's signature: a name, words, a detail
    /// (a fingerprint, say) and a status image. The report gets no line of it.
    virtual void addNote(const char* name, const std::string& text, const std::string& detail,
                         int status) = 0;
};
