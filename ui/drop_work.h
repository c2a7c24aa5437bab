#pragma once

#include <string>
#include <vector>

#include "engine/checksum_list.h"
#include "engine/digest_files.h"
#include "platform/win_types.h"
#include "ui/work_text.h"

class WorkProgress;

/// Where the results of a drop's work go: rows and report lines, and their clearing.
class DropResults : public ResultSink {
public:
    /// Deletes every row and empties the report text.
    virtual void clearResults() = 0;
};

/// How a drop's work is done: the switches of verification, the algorithm of new checksums.
struct DropSettings {
    bool verbose = false;
    bool binary = true;
    Algorithm algorithm = Algorithm::Md5;
};

/// The work of one drop, from its first path to its last. Checking, it clears the results once
/// and verifies every dropped list from the list's own folder, so that a failure in one list
/// stays on show whatever the next one holds. Generating, it hashes every dropped file side by
/// side, each row under the file's bare name. All of it, the counting and measuring beforehand
/// included, is served, shown and stoppable through the progress it is given; the tally says
/// what came of it.
class DropWork : public ResultSink, private FileDigestSink {
public:
    DropWork(DropResults& results, WorkProgress& progress)
        : m_results(results), m_progress(progress) {}

    /// Does the work of paths (full paths, in the drop's order).
    void run(const std::vector<CString>& paths, bool checking, const DropSettings& settings);
    /// What the current or last drop came to.
    const DropTally& tally() const { return m_tally; }
    /// The path in hand, or last in hand: a list's full path, a hashed file's bare name.
    const CString& droppedPath() const { return m_droppedPath; }

    /// A row of the work: counted for the tally, then handed to the results.
    void addResult(const char* name, const Digest* expected, const Digest* actual,
                   int status) override;
    void lineNotUnderstood() override;

private:
    void check(const std::vector<CString>& paths);
    /// Verifies the dropped list at path from its own folder.
    void processDroppedPath(const CString& path);
    void generate(const std::vector<CString>& paths);
    /// The entries of every list, for the strip's count; false when a stop came first.
    bool countEntries(const std::vector<CString>& paths);
    /// The bytes of every file, for the strip's bar and time left; false when a stop came first.
    bool measureFiles(const std::vector<CString>& paths);
    void fileDigested(std::size_t index, const std::string& path,
                      const FileDigest& result) override;
    /// The row of a hashed file: its digest, or a failure without a report line.
    void addDigestRow(const char* name, const FileDigest& result);

    DropResults& m_results;
    WorkProgress& m_progress;
    DropSettings m_settings;
    DropTally m_tally;
    CString m_droppedPath;
};
