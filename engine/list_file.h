#pragma once

#include <cstdio>
#include <string>

#include "engine/checksum_list.h"

/// A checksum list named by its path, opened once (through openFileStream: a folder, FIFO or
/// device is refused by its type, never opened), so that its entries can be counted first and
/// then checked through the same open, from its start.
class ListFile {
public:
    explicit ListFile(std::string path);
    ~ListFile();
    ListFile(const ListFile&) = delete;
    ListFile& operator=(const ListFile&) = delete;

    const std::string& path() const { return path_; }
    /// Opens the list if it is not open yet. False when it cannot be; error() says why.
    bool open();
    bool isOpen() const { return stream_ != nullptr; }
    /// The errno of the open that failed, 0 if none did.
    int error() const { return error_; }
    /// Closes it; a later open() opens it again.
    void close();

    /// countListEntries of the open list, which is then at its start again for verify. -1 when
    /// meter asked to stop; -2 when the list could not be read back to its start (it is closed
    /// then, and error() says why).
    int countEntries(WorkMeter* meter);
    /// verifyList of the open list from where it stands (its start, unless read since), named
    /// by its path.
    int verify(ResultSink& sink, bool verbose, bool binary, WorkMeter* meter);

private:
    std::string path_;
    std::FILE* stream_ = nullptr;
    int error_ = 0;
};
