#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/digest.h"
#include "engine/work_meter.h"

/// What digestFiles found for one path: the outcome openFileStream(path, "rb") and digestStream
/// would give for it.
struct FileDigest {
    /// False when the path names nothing that opens as a regular file (missing, a folder, a
    /// FIFO, a device, no permission): openFileStream would return null. digest is then unset.
    bool opened = false;
    /// True when reading failed part-way (digestStream would return -1); digest is that of
    /// the bytes read before, which is no checksum of the file.
    bool readError = false;
    /// The digest of the file's bytes, read in binary mode, when opened.
    Digest digest{};
};

/// Receives digestFiles' results, one per path, strictly in the order of the paths.
class FileDigestSink {
public:
    virtual ~FileDigestSink() = default;
    /// paths[index] (the path as given) has been hashed, or could not be opened.
    virtual void fileDigested(std::size_t index, const std::string& path,
                              const FileDigest& result) = 0;
};

/// Hashes the files at paths (opened as given: relative paths from the current folder) with
/// algorithm, side by side (see hashInOrder), and reports each to sink in the order of paths, as
/// soon as it and every path before it are done. For the "Generate Checksums" drop of several
/// files: a result maps to a row as openFileStream and digestStream results do (not opened: no
/// digest at all; a read error: the digest of what was read, and no report line; otherwise the
/// digest).
///
/// meter (if any) hears of every path opened (advance(0)), of each file at its turn
/// (beginFile with its path and size) and of its bytes hashed, and can stop the work: then the
/// paths reported so far stay reported, files read ahead are not reported, nothing further is
/// opened, and the result is DIGEST_STOPPED. Otherwise the result is 0, every path reported.
/// Memory stays bounded (a few MiB) whatever the number of paths.
int digestFiles(const std::vector<std::string>& paths, FileDigestSink& sink,
                WorkMeter* meter = nullptr, Algorithm algorithm = Algorithm::Md5);
