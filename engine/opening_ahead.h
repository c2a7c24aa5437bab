#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_set>

#include "engine/ordered_hashing.h"

/// A feed's next steps taken, and their files opened, on a thread of its own ahead of the
/// hashing, so that the looking up and opening of many small files (most of their cost) runs on
/// another core than the reading and hashing of them.
///
/// Steps come out in the feed's order, exactly as feed.next gives them. The thread calls
/// feed.next for the k-th item with place k modulo capacity, as a HashQueue of that capacity
/// numbers its items, and only once the item that held that place before is done (see done), so
/// that the feed's own record of the place is never written while it is still read. It holds at
/// most AHEAD steps made and not taken, which bounds the descriptors it keeps open.
class OpeningAhead {
public:
    static constexpr std::size_t AHEAD = 64;
    /// After this many files named one after the other in the same folder, the folder is listed
    /// once, and the files it lists as regular are opened with one lookup of their name instead
    /// of two.
    static constexpr std::uint64_t LIST_FOLDER_AFTER = 256;
    /// How often the taker looks again for a step before it sleeps until one comes.
    static constexpr int SPINS = 64;

    /// One step of the feed, and its file opened if it names one.
    struct Step {
        HashFeed::Step step = HashFeed::Step::End;
        HashRequest request;
        bool tried = false; ///< whether the file was opened (or tried) here
        int fd = -1;        ///< the file opened for reading, or -1
        int error = 0;      ///< errno of an open that failed
        std::int64_t size = -1;
        std::uint64_t device = 0;
    };

    OpeningAhead(HashFeed& feed, std::size_t capacity);
    /// Stops the thread and closes every file it opened that was never taken.
    ~OpeningAhead();
    OpeningAhead(const OpeningAhead&) = delete;
    OpeningAhead& operator=(const OpeningAhead&) = delete;

    /// The next step, waiting for it if need be; its descriptor is the caller's from now on.
    Step take();
    /// An item taken has been handed back through feed.done: its place may be used again.
    void done();
    /// The system has run out of descriptors: the files opened ahead are closed again, and no
    /// more are opened here; the taker opens each one itself when its turn comes.
    void stopOpening();

private:
    void run();
    /// Opens the file of request, by its listing's word where it has one.
    int open(const char* path, std::int64_t* size, std::uint64_t* device);

    HashFeed& m_feed;
    std::size_t m_capacity;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Step> m_ready;                 ///< made and not yet taken
    std::atomic<std::size_t> m_readyCount{0}; ///< m_ready.size(), for the taker to look at
    std::uint64_t m_done = 0;                 ///< items done, under m_mutex
    bool m_stopping = false;
    bool m_opening = true;
    // The opening thread's own: the folder of the files named last, how many were named in it
    // one after the other, and the regular files it lists, once listed.
    std::string m_folder;
    std::uint64_t m_inFolder = 0;
    bool m_listed = false;
    std::unordered_set<std::string> m_regular;
    bool m_openerWaits = false;
    bool m_takerWaits = false;
    std::thread m_thread;
};
