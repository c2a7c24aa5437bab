#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

/// How far ahead of a reader that reads files in a known order the system is asked for them.
struct ReadAheadPolicy {
    /// Files opened ahead of those being read (0: none, and nothing is asked for).
    std::size_t files = 0;
    /// Bytes asked for ahead of the reading, all files together. They go to the page cache, not
    /// to the process's memory.
    std::uint64_t bytes = 0;
    /// Bytes asked for at a time.
    std::uint64_t unit = 0;
    /// Whether a file is to be read only once the read-ahead has reached it, so that a spinning
    /// disk is read in the order of the files rather than at several places at once.
    bool inOrder = false;
};

/// Which read-ahead readAheadPolicyFor gives.
enum class ReadAheadChoice {
    ByDevice,   ///< the one for the kind of the device (see deviceKindOf)
    Off,        ///< none: files are opened only as they are read
    Parallel,   ///< the one for a solid-state or virtual disk, whatever the device
    Rotational, ///< the one for a spinning disk, whatever the device
};

/// The read-ahead for files on device (a stat's st_dev), within the process's descriptor limit.
ReadAheadPolicy readAheadPolicyFor(std::uint64_t device);

/// Makes readAheadPolicyFor give choice's read-ahead from now on. Meant for tests and
/// benchmarks.
void forceReadAhead(ReadAheadChoice choice);

/// Whether the page cache holds every page of the range of fd. Asking costs a system call but
/// starts no reading. Where the kernel cannot tell (no cachestat before Linux 6.5, or a filter
/// forbids it) the answer is no, and *available (if given) is set false.
bool pageCacheHolds(int fd, std::uint64_t offset, std::uint64_t length, bool* available = nullptr);

/// Keeps the disk busy for one thread that reads many files, several at a time, in a known
/// order: it asks the system to read the bytes of the files opened so far into the page cache,
/// in their order, up to a budget of bytes ahead of what has been read. The asking is
/// posix_fadvise's WILLNEED, which starts the reads and returns; where io_uring can be had, it
/// goes through io_uring instead, whose kernel workers then do the starting on another CPU
/// while this thread hashes. Ranges that the page cache already holds are not asked for again
/// (cachestat, where the kernel has it; once many were found there, only samples are looked
/// at), so a warm cache costs next to nothing.
///
/// The reader owns the descriptors and tells what it opens, reads and closes; files are known
/// by keys that grow in the order of the files.
class ReadAhead {
public:
    ReadAhead();
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    /// Starts over with policy, for up to room files open at once; files beyond that are not
    /// read ahead. False, with nothing read ahead, when the memory could not be had.
    bool reset(const ReadAheadPolicy& policy, std::size_t room);

    /// fd, of size bytes, has been opened as the file after every one told before.
    void opened(std::uint64_t key, int fd, std::int64_t size);
    /// The file has been read up to position.
    void readTo(std::uint64_t key, std::uint64_t position);
    /// The file has been closed; nothing more is asked of its descriptor. Call it before the
    /// next advise(), which would otherwise ask of whatever file took the descriptor's number.
    void closed(std::uint64_t key);
    /// Asks for the next ranges, in the order of the files, until the budget is reached.
    void advise();
    /// Whether the read-ahead has asked for the file's first bytes (and so for every byte of
    /// the files before it), or has nothing to ask; true for a file it does not know.
    bool reached(std::uint64_t key) const;

private:
    struct Entry {
        std::uint64_t key;
        int fd;
        std::uint64_t size;
        std::uint64_t asked; // bytes from the start asked for (or found cached)
        std::uint64_t read;  // bytes from the start read
    };
    class Ring;

    Entry* find(std::uint64_t key) const;
    void askUpTo(Entry& entry, std::uint64_t end);
    void ask(int fd, std::uint64_t offset, std::uint64_t length);
    bool cached(int fd, std::uint64_t offset, std::uint64_t length);

    ReadAheadPolicy policy_;
    std::unique_ptr<Entry[]> entries_; // in the order of their keys
    std::size_t room_ = 0;
    std::size_t count_ = 0;
    std::size_t settled_ = 0;       // entries before it are asked for whole
    std::size_t started_ = 0;       // entries before it have their start asked for
    std::uint64_t outstanding_ = 0; // asked for and not read yet
    bool probe_ = true;             // whether cachestat is worth a try
    unsigned cachedRun_ = 0;        // ranges found cached one after the other
    unsigned sampled_ = 0;          // ranges not looked at since the run began, and samples
    std::unique_ptr<Ring> ring_;    // null: posix_fadvise
};
