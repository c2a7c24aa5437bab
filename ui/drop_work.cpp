#include "ui/drop_work.h"

#include "engine/path_split.h"
#include "os/file_stream.h"
#include "os/file_system.h"
#include "ui/work_progress.h"

void DropWork::run(const std::vector<CString>& paths, bool checking, const DropSettings& settings) {
    m_settings = settings;
    m_tally = DropTally{checking};
    m_progress.begin(checking);
    if (checking) {
        check(paths);
    } else {
        generate(paths);
    }
    m_progress.end();
}

void DropWork::check(const std::vector<CString>& paths) {
    m_results.clearResults();
    if (!countEntries(paths)) {
        m_tally.stopped = true;
        return;
    }
    for (const CString& path : paths) {
        // Nothing after a stop is opened.
        if (!m_progress.advance(0)) {
            m_tally.stopped = true;
            return;
        }
        processDroppedPath(path);
        if (m_tally.stopped) {
            return;
        }
    }
}

void DropWork::processDroppedPath(const CString& path) {
    m_droppedPath = path;
    ++m_tally.lists;
    std::string folder;
    std::string fileName;
    splitDroppedPath(path, folder, fileName);
    // A failed change of folder leaves the list to be opened from the current one.
    changeDirectory(folder.c_str());
    std::FILE* list = openFileStream(path.c_str(), "r");
    if (list == nullptr) {
        // Nothing to verify: one row says so, and the report gets no line.
        addResult(path.c_str(), nullptr, nullptr, STATUS_UNREADABLE);
        return;
    }
    const int result =
        verifyList(list, *this, m_settings.verbose, m_settings.binary, &m_progress, path.c_str());
    if (result == VERIFY_STOPPED) {
        m_tally.stopped = true;
    }
    std::fclose(list);
}

bool DropWork::countEntries(const std::vector<CString>& paths) {
    // Text streams cannot seek, so each list is read once to count and again to verify.
    int entries = 0;
    for (const CString& path : paths) {
        std::string folder;
        std::string fileName;
        splitDroppedPath(path, folder, fileName);
        changeDirectory(folder.c_str());
        std::FILE* list = openFileStream(path.c_str(), "r");
        if (list == nullptr) {
            ++entries; // its row says it could not be read
            continue;
        }
        const int counted = countListEntries(list, &m_progress);
        std::fclose(list);
        if (counted < 0) {
            return false;
        }
        entries += counted;
    }
    m_tally.total = entries;
    m_progress.expectEntries(entries);
    return true;
}

void DropWork::generate(const std::vector<CString>& paths) {
    if (!measureFiles(paths)) {
        m_tally.stopped = true;
        return;
    }
    if (digestFiles(paths, *this, &m_progress, m_settings.algorithm) == DIGEST_STOPPED) {
        m_tally.stopped = true;
    }
}

bool DropWork::measureFiles(const std::vector<CString>& paths) {
    std::uint64_t bytes = 0;
    for (const CString& path : paths) {
        if (!m_progress.advance(0)) {
            return false;
        }
        std::uint64_t size = 0;
        if (regularFileSize(path.c_str(), size)) {
            bytes += size;
        }
    }
    m_tally.total = static_cast<int>(paths.size());
    m_progress.expectBytes(m_tally.total, bytes);
    return true;
}

void DropWork::fileDigested(std::size_t /*index*/, const std::string& path,
                            const FileDigest& result) {
    // The folder becomes the current one and the row carries the bare name, as for one path.
    std::string folder;
    std::string fileName;
    splitDroppedPath(path, folder, fileName);
    changeDirectory(folder.c_str());
    m_droppedPath = fileName;
    addDigestRow(fileName.c_str(), result);
}

void DropWork::addDigestRow(const char* name, const FileDigest& result) {
    if (!result.opened) {
        addResult(name, nullptr, nullptr, STATUS_FAILED);
    } else if (result.readError) {
        // The digest of a file read only in part is shown, but is no checksum of the file: it
        // gets no report line, so a saved report never lists a wrong digest.
        addResult(name, nullptr, &result.digest, STATUS_FAILED);
    } else {
        addResult(name, &result.digest, &result.digest, STATUS_OK);
    }
}

void DropWork::addResult(const char* name, const Digest* expected, const Digest* actual,
                         int status) {
    m_results.addResult(name, expected, actual, status);
    switch (status) {
    case STATUS_OK:
        ++m_tally.ok;
        break;
    case STATUS_FAILED:
        ++m_tally.failed;
        break;
    default:
        ++m_tally.unreadable;
        break;
    }
    m_progress.fileDone();
}

void DropWork::lineNotUnderstood() {
    ++m_tally.notUnderstood;
}
