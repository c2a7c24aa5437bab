#pragma once

#include <cstddef>

#include "engine/digest.h"
#include "engine/work_meter.h"

/// One item of ordered work: a file to hash, or (path null) an item with nothing to hash that
/// still takes its turn, such as a line to report.
struct HashRequest {
    const char* path = nullptr; ///< opened as given: relative paths from the current folder
    Algorithm algorithm = Algorithm::Md5;
    std::size_t length = 0; ///< of the digest, in bytes; 0: the algorithm's own (see Hasher::begin)
    bool text = false;      ///< read in text mode: CR LF counts as LF
};

/// What came of an item.
struct HashOutcome {
    bool opened = false;    ///< its file opened as a regular file (false too with nothing to hash)
    bool readError = false; ///< reading failed part-way; digest is of the bytes read before
    int error = 0;          ///< why a file to hash did not open (errno); 0 when it did
    Digest digest;          ///< when opened
};

/// Where ordered work comes from and goes to: the checking of a list, or the hashing of a drop's
/// files. Items are handed out in order and come back complete in the same order.
class HashFeed {
public:
    enum class Step {
        Item,    ///< request describes the next item
        Nothing, ///< something was consumed that makes no item (a comment line, say)
        End,     ///< there are no more items
    };

    virtual ~HashFeed() = default;
    /// The next item. The feed keeps what it needs of it at place (below the capacity the work
    /// runs with) until done(place); request.path must stay valid as long.
    virtual Step next(std::size_t place, HashRequest& request) = 0;
    /// The name a meter hears for the item at place, the oldest one not done, when its file's
    /// turn comes.
    virtual const char* nameAt(std::size_t place) const = 0;
    /// The item at place is complete. Called in the order of the items.
    virtual void done(std::size_t place, const HashOutcome& outcome) = 0;
};

/// Runs feed to its end, hashing files side by side (see LaneHasher) with up to capacity items
/// (a power of two) read ahead of the oldest unreported one. Returns false when meter asked to
/// stop: items done so far stay done; items read ahead are never done.
///
/// Files are opened further ahead than the lanes, and their bytes asked of the disk in list
/// order (see ReadAhead), as readAheadPolicyFor says for the device of the first file opened.
///
/// The meter hears advance(0) before every step of the feed, beginFile for each file at its
/// turn, and each file's bytes at its turn in pieces of at most LaneHasher::READ_SIZE, so that
/// where a stop at a given count falls is the same as in hashOneAtATime. A file that cannot be
/// opened for want of descriptors waits until a lane closes its own, and fewer files are opened
/// ahead from then on; it is reported unopened only when none of ours is open.
bool hashInOrder(HashFeed& feed, std::size_t capacity, WorkMeter* meter);

/// The same work, one file after the other through openFileStream and digestStream: the same
/// outcomes, more slowly, in little memory. Places are always 0.
bool hashOneAtATime(HashFeed& feed, WorkMeter* meter);
