#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/checksum_list.h"
#include "engine/digest_files.h"
#include "engine/download_check.h"
#include "engine/list_file.h"
#include "engine/ordered_hashing.h"
#include "platform/win_types.h"
#include "ui/drop_results.h"
#include "ui/queued_results.h"
#include "ui/work_text.h"

class WorkProgress;

/// How a drop's work is done: the switches of verification, the algorithm of new checksums.
struct DropSettings {
    bool verbose = false;
    bool binary = true;
    Algorithm algorithm = Algorithm::Md5;
};

/// The work of one drop, from its first path to its last.
///
/// Checking, it clears the results once and verifies every dropped list from the list's own
/// folder, so that a failure in one list stays on show whatever the next one holds; a dropped
/// folder stands for the checksum lists directly in it. A list that cannot be opened (among them
/// a link that leads nowhere, a FIFO, a socket or a device, which are never opened) gets one
/// unreadable row under its path. A dropped file that is not a list (see readsAsChecksumList) is
/// checked against the entries naming it in the lists beside it, or, named by none, gets a row
/// with its digest in the chosen algorithm and nothing to compare it with. Every list read that
/// is signed gets a row for its signature ahead of its entries.
///
/// Generating, it hashes every dropped file side by side, each row under the file's bare name;
/// a dropped folder stands for every file below it, in byte order of their paths, each row
/// named from the folder's parent ("photos/2024/a.jpg"), so that a report saved beside the
/// folder checks from there.
///
/// All of it, the looking, counting and measuring beforehand included, is served, shown and
/// stoppable through the progress it is given; the tally says what came of it.
class DropWork : public ResultSink, private HashFeed {
public:
    DropWork(DropResults& results, WorkProgress& progress)
        : m_results(results), m_progress(progress) {}

    /// Does the work of paths (full paths, in the drop's order).
    void run(const std::vector<CString>& paths, bool checking, const DropSettings& settings);
    /// What the current or last drop came to.
    const DropTally& tally() const { return m_tally; }
    /// The path in hand, or last in hand: a list's full path, a hashed file's row name.
    const CString& droppedPath() const { return m_droppedPath; }

    /// A row of the work: counted for the tally, then handed to the results.
    void addResult(const char* name, const Digest* expected, const Digest* actual,
                   int status) override;
    void addUnreadResult(const char* name, const Digest* expected, int status, int error) override;
    void lineNotUnderstood() override;

private:
    /// One thing to hash, or to report without hashing, and where its row is made from.
    struct Item {
        std::string path;   ///< opened as given
        std::string name;   ///< the row's name
        std::string folder; ///< the current folder while its row is made
        bool unreadableFolder = false;
        int error = 0; ///< why an unreadable folder could not be read
    };

    /// What a drop has to check: a list, or a file that is not one, with the entries naming it.
    struct CheckTarget {
        std::string path;
        std::unique_ptr<ListFile> list{}; ///< a list's, once it has been opened to be counted
        bool download = false;
        std::vector<DownloadEntry> entries{};
        std::vector<std::string> lists{}; ///< the lists beside a download that name it
    };

    void check(const std::vector<CString>& paths);
    /// What a drop stands for: dropped files as they are, a folder's lists in their place.
    std::vector<CheckTarget> targetsOf(const std::vector<CString>& paths);
    /// Verifies the dropped list of target from its own folder, through the open that counted
    /// its entries if it is still open.
    void processDroppedPath(const CheckTarget& target);
    /// Checks a dropped file that is not a list against the lists beside it.
    void checkDownloadTarget(const CheckTarget& target);
    /// The row of the signature of the list listName in folder, when it has one.
    void checkSignature(const std::string& folder, const std::string& listName);
    /// The row of a list that could not be opened, for the reason error (errno).
    void listNotOpened(const std::string& path, int error);
    /// Counts a row of status for the tally and the progress.
    void count(int status);
    /// The rows the targets will make, for the strip's count; false when a stop came first.
    bool countEntries(const std::vector<CheckTarget>& targets);

    void generate(const std::vector<CString>& paths);
    /// Every file a drop stands for, and the bytes of them all; false when a stop came first.
    bool gatherFiles(const std::vector<CString>& paths, std::uint64_t& bytes);
    bool walkFolder(const std::string& folder, std::uint64_t& bytes);

    Step next(std::size_t place, HashRequest& request) override;
    const char* nameAt(std::size_t place) const override;
    void done(std::size_t place, const HashOutcome& outcome) override;

    DropResults& m_results; ///< the window's, on the window's thread
    QueuedResults m_queue;  ///< what the work makes on its thread, for m_results
    WorkProgress& m_progress;
    DropSettings m_settings;
    DropTally m_tally;
    CString m_droppedPath;
    std::vector<Item> m_items;
    std::size_t m_nextItem = 0;
    std::size_t m_doneItems = 0;
};
