#include "ui/drop_work.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "engine/list_line.h"
#include "engine/path_split.h"
#include "engine/signature/list_signature.h"
#include "os/file_stream.h"
#include "os/file_system.h"
#include "os/folder_walk.h"
#include "ui/work_progress.h"

namespace {

// Files hashed ahead of the one being reported.
constexpr std::size_t QUEUE = 4096;
// Lists kept open from their count to their check; those of a drop of more lists are opened
// again for their check, so that a folder of many lists holds few descriptors.
constexpr int LISTS_KEPT_OPEN = 32;

// The folder to change into and the name of a dropped path.
std::pair<std::string, std::string> splitPath(const std::string& path) {
    std::string folder;
    std::string fileName;
    splitDroppedPath(path, folder, fileName);
    return {folder, fileName};
}

} // namespace

void DropWork::run(const std::vector<CString>& paths, bool checking, const DropSettings& settings) {
    m_settings = settings;
    m_tally = DropTally{};
    m_tally.checking = checking;
    m_progress.begin(checking);
    // The work runs on a thread of its own; its rows reach the window in batches, in order.
    m_progress.runOnWorker(
        [&] {
            if (checking) {
                check(paths);
            } else {
                generate(paths);
            }
            m_items.clear();
            m_items.shrink_to_fit();
        },
        [this](std::chrono::steady_clock::time_point until) {
            return m_queue.deliverTo(m_results, until);
        });
    m_tally.seconds = m_progress.shownSeconds();
    m_tally.bytes = m_progress.bytesDone();
    m_progress.end();
}

void DropWork::check(const std::vector<CString>& paths) {
    m_queue.clearResults();
    const std::vector<CheckTarget> targets = targetsOf(paths);
    if (!countEntries(targets)) {
        m_tally.stopped = true;
        return;
    }
    for (const CheckTarget& target : targets) {
        // Nothing after a stop is opened.
        if (!m_progress.advance(0)) {
            m_tally.stopped = true;
            return;
        }
        if (target.download) {
            checkDownloadTarget(target);
        } else {
            processDroppedPath(target);
        }
        if (m_tally.stopped) {
            return;
        }
    }
}

std::vector<DropWork::CheckTarget> DropWork::targetsOf(const std::vector<CString>& paths) {
    std::vector<CheckTarget> targets;
    std::vector<std::string> names;
    for (const CString& path : paths) {
        if (!isFolder(path.c_str())) {
            CheckTarget target{path};
            const auto [folder, fileName] = splitPath(path);
            target.download = !readsAsChecksumList(path.c_str(), fileName);
            if (target.download) {
                target.entries = entriesNaming(folder, fileName, &target.lists);
            } else {
                target.list = std::make_unique<ListFile>(target.path);
            }
            targets.push_back(std::move(target));
            continue;
        }
        const std::string folderName = splitPath(path).second;
        const int error = entriesIn(path, names, namesChecksumList);
        if (error != 0) {
            // As md5sum says of a list it cannot read; the strip says it too.
            std::fprintf(stderr, "md5sum: %s: %s\n", folderName.c_str(), std::strerror(error));
            m_tally.foldersNotRead.push_back(folderName);
            continue;
        }
        if (names.empty()) {
            m_tally.foldersWithoutList.push_back(folderName);
        }
        const std::string folder = path.back() == '/' ? path : path + "/";
        for (const std::string& name : names) {
            targets.push_back(CheckTarget{folder + name});
            targets.back().list = std::make_unique<ListFile>(targets.back().path);
        }
    }
    return targets;
}

bool DropWork::countEntries(const std::vector<CheckTarget>& targets) {
    // Each list is opened once, counted, and checked later from its start through the same
    // open. A FIFO, device or link that leads nowhere is refused by its status, never opened.
    int entries = 0;
    int keptOpen = 0;
    for (const CheckTarget& target : targets) {
        if (target.download) {
            entries += std::max<int>(1, static_cast<int>(target.entries.size()));
            continue;
        }
        changeDirectory(splitPath(target.path).first.c_str());
        if (!target.list->open()) {
            ++entries; // its row says it could not be opened
            continue;
        }
        const int counted = target.list->countEntries(&m_progress);
        if (counted == -1) {
            return false;
        }
        if (counted == -2) {
            ++entries; // it cannot be read again: its row says so
            continue;
        }
        entries += counted;
        if (++keptOpen > LISTS_KEPT_OPEN) {
            target.list->close();
        }
    }
    m_tally.total = entries;
    m_progress.expectEntries(entries);
    return true;
}

void DropWork::processDroppedPath(const CheckTarget& target) {
    const std::string& path = target.path;
    ListFile& list = *target.list;
    m_droppedPath = path;
    // A failed change of folder leaves the list to be opened from the current one.
    const auto [folder, fileName] = splitPath(path);
    changeDirectory(folder.c_str());
    if (list.error() != 0 || !list.open()) {
        listNotOpened(path, list.error());
        return;
    }
    ++m_tally.lists;
    checkSignature(folder, fileName);
    const int result = list.verify(*this, m_settings.verbose, m_settings.binary, &m_progress);
    if (result == VERIFY_STOPPED) {
        m_tally.stopped = true;
    }
    list.close();
}

void DropWork::checkDownloadTarget(const CheckTarget& target) {
    m_droppedPath = target.path;
    const auto [folder, fileName] = splitPath(target.path);
    for (const std::string& list : target.lists) {
        checkSignature(folder, list);
    }
    m_tally.lists += static_cast<int>(target.lists.size());
    changeDirectory(folder.c_str());
    if (!target.entries.empty()) {
        const int result = checkDownload(fileName.c_str(), fileName, target.entries, *this,
                                         m_settings.verbose, m_settings.binary, &m_progress);
        m_tally.stopped = result == VERIFY_STOPPED;
        return;
    }
    // Nothing to compare with: the file's digest, for a checksum pasted from the publisher.
    Digest digest;
    bool stopped = false;
    int error = 0;
    if (digestFileAt(fileName.c_str(), m_settings.algorithm, digest, &m_progress, stopped, error)) {
        m_tally.withoutList.push_back(fileName);
        m_queue.addResult(fileName.c_str(), nullptr, &digest, STATUS_NO_LIST);
        m_progress.fileDone();
    } else if (stopped) {
        m_tally.stopped = true;
    } else {
        std::fprintf(stderr, "md5sum: %s: no checksum list names it, and it could not be read\n",
                     fileName.c_str());
        addUnreadResult(fileName.c_str(), nullptr, STATUS_UNREADABLE, error);
    }
}

void DropWork::checkSignature(const std::string& folder, const std::string& listName) {
    const std::optional<ListSignature> signature = checkListSignature(folder, listName);
    if (!signature) {
        return;
    }
    const int status = signature->state == SignatureState::Good  ? STATUS_SIGNATURE_GOOD
                       : signature->state == SignatureState::Bad ? STATUS_SIGNATURE_BAD
                                                                 : STATUS_SIGNATURE_UNVERIFIED;
    const std::string text = signatureText(*signature);
    m_queue.addNote(signature->file.c_str(), text, signature->fingerprint, status);
    m_tally.signatures.push_back(signature->file + ": " + text);
    m_tally.badSignature = m_tally.badSignature || status == STATUS_SIGNATURE_BAD;
}

void DropWork::listNotOpened(const std::string& path, int error) {
    // Nothing to verify: one row says so, and the report gets no line. It is counted as a list
    // not opened, not as a listed file that could not be read.
    m_queue.addUnreadResult(path.c_str(), nullptr, STATUS_UNREADABLE, error);
    ++m_tally.listsNotOpened;
    m_progress.fileDone();
}

void DropWork::generate(const std::vector<CString>& paths) {
    std::uint64_t bytes = 0;
    if (!gatherFiles(paths, bytes)) {
        m_tally.stopped = true;
        return;
    }
    m_tally.total = static_cast<int>(m_items.size());
    m_progress.expectBytes(m_tally.total, bytes);
    m_nextItem = 0;
    m_doneItems = 0;
    if (!hashInOrder(*this, QUEUE, &m_progress)) {
        m_tally.stopped = true;
    }
}

bool DropWork::gatherFiles(const std::vector<CString>& paths, std::uint64_t& bytes) {
    m_items.clear();
    for (const CString& path : paths) {
        if (!m_progress.advance(0)) {
            return false;
        }
        if (isFolder(path.c_str())) {
            if (!walkFolder(path, bytes)) {
                return false;
            }
            continue;
        }
        auto [folder, fileName] = splitPath(path);
        std::uint64_t size = 0;
        if (regularFileSize(path.c_str(), size)) {
            bytes += size;
        }
        m_items.push_back(Item{path, std::move(fileName), std::move(folder)});
    }
    return true;
}

bool DropWork::walkFolder(const std::string& folder, std::uint64_t& bytes) {
    FolderWalk walk(folder);
    // Rows are named from the folder's parent, which is the current folder while they are made.
    const std::string& base = walk.parent();
    const std::string parent = base.empty() ? std::string(".") : base;
    int found = 0;
    const auto pace = [&] {
        m_progress.lookingIn(walk.rootName(), found);
        return m_progress.advance(0);
    };
    WalkEntry entry;
    while (walk.next(entry, pace)) {
        switch (entry.kind) {
        case WalkEntry::Kind::File:
        case WalkEntry::Kind::Broken:
            bytes += entry.size;
            ++found;
            m_items.push_back(Item{base + entry.relative, entry.relative, parent});
            break;
        case WalkEntry::Kind::UnreadableFolder:
            m_items.push_back(
                Item{base + entry.relative, entry.relative, parent, true, entry.error});
            break;
        case WalkEntry::Kind::Special:
            ++m_tally.passedOver;
            break;
        case WalkEntry::Kind::LinkToFolder:
            ++m_tally.linksToFolders;
            break;
        }
        if (!pace()) {
            return false;
        }
    }
    return !walk.stopped();
}

HashFeed::Step DropWork::next(std::size_t /*place*/, HashRequest& request) {
    if (m_nextItem == m_items.size()) {
        return Step::End;
    }
    const Item& item = m_items[m_nextItem++];
    if (!item.unreadableFolder) {
        request.path = item.path.c_str();
        request.algorithm = m_settings.algorithm;
    }
    return Step::Item;
}

// Items are done in order, so the oldest one not done is m_items[m_doneItems].
const char* DropWork::nameAt(std::size_t /*place*/) const {
    return m_items[m_doneItems].name.c_str();
}

void DropWork::done(std::size_t /*place*/, const HashOutcome& outcome) {
    const Item& item = m_items[m_doneItems++];
    // The row's folder becomes the current one, as a dropped file's does.
    changeDirectory(item.folder.c_str());
    m_droppedPath = item.name;
    const char* name = item.name.c_str();
    if (item.unreadableFolder) {
        addUnreadResult(name, nullptr, STATUS_UNREADABLE, item.error);
    } else if (!outcome.opened || outcome.readError) {
        // A file not opened, or read only in part, has no checksum: its row shows none, so that
        // no pasted checksum matches it, and it gets no report line.
        addUnreadResult(name, nullptr, STATUS_FAILED, outcome.opened ? EIO : outcome.error);
    } else {
        addResult(name, &outcome.digest, &outcome.digest, STATUS_OK);
    }
}

void DropWork::addResult(const char* name, const Digest* expected, const Digest* actual,
                         int status) {
    m_queue.addResult(name, expected, actual, status);
    count(status);
}

void DropWork::addUnreadResult(const char* name, const Digest* expected, int status, int error) {
    m_queue.addUnreadResult(name, expected, status, error);
    count(status);
}

void DropWork::count(int status) {
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
