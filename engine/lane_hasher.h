#pragma once

#include <cstddef>
#include <cstdint>

#include <memory>

#include "engine/digest.h"
#include "engine/hasher.h"
#include "engine/md5_lanes.h"
#include "os/lane_reads.h"

/// What a LaneHasher tells its owner about the messages it hashes, each known by the ticket it
/// was started with.
class LaneEvents {
public:
    virtual ~LaneEvents() = default;
    /// bytes more of the message have been hashed.
    virtual void hashed(std::uint64_t ticket, std::uint64_t bytes) = 0;
    /// The message has ended: digest is the digest of every byte read, and readError tells
    /// whether reading stopped at an error rather than at the end of the file (or the algorithm
    /// could not be had).
    virtual void finished(std::uint64_t ticket, const Digest& digest, bool readError) = 0;
    /// The message's file has been read up to position (its bytes as stored, before the
    /// text-mode rule).
    virtual void readTo(std::uint64_t /*ticket*/, std::uint64_t /*position*/) {}
    /// The message's file has been closed, in the round now ending: its descriptor (whose
    /// number a later open may take again) is no longer to be used.
    virtual void closed(std::uint64_t /*ticket*/) {}
};

/// Hashes several open files at once, reading each in large pieces. MD5 files take a lane each of
/// a multi-lane MD5 compression; files of the other algorithms take a lane too, and are hashed
/// one read at a time through a Hasher (libcrypto, whose SHA instructions need no lanes, or our
/// BLAKE2b for its shorter digests). A file's digest
/// is the one digestStream gives for a stream of the same mode: in text mode every CR LF counts
/// as LF. The hasher owns every descriptor it is given and closes it once the file has been
/// read.
class LaneHasher {
public:
    /// Bytes asked of the system per read, per lane.
    static constexpr std::size_t READ_SIZE = 128 * 1024;

    /// Lanes of the multi-lane path; the wide compression runs for rounds with at least
    /// wideFrom busy lanes, fewer are hashed by single-stream code (0: measured on this CPU).
    explicit LaneHasher(Md5LanePath path = md5ActiveLanePath(), int wideFrom = 0);
    ~LaneHasher();
    LaneHasher(const LaneHasher&) = delete;
    LaneHasher& operator=(const LaneHasher&) = delete;

    /// False when the buffers could not be allocated; nothing else may be called then.
    bool valid() const { return storage_ != nullptr; }
    int lanes() const { return laneCount_; }
    bool hasFreeLane() const { return busy_ < laneCount_; }
    bool idle() const { return busy_ == 0; }
    int busyLanes() const { return busy_; }

    /// With on, files larger than one read are read a piece ahead of their hashing by the
    /// kernel's workers (see LaneReads), where io_uring can be had.
    void useLaneReads(bool on) { laneReads_ = on; }

    /// Starts hashing fd (of size bytes when opened, -1 if unknown) with algorithm in a free
    /// lane, to a digest of length bytes (0: the algorithm's own; see Hasher::begin).
    /// localDisk: the file is on a local disk's file system (see onLocalDiskFileSystem), so that
    /// its size can be believed and it may be read ahead through io_uring; elsewhere a file ends
    /// only at a read of 0 bytes, and is read with plain reads.
    void start(int fd, std::int64_t size, bool text, Algorithm algorithm, std::uint64_t ticket,
               std::size_t length = 0, bool localDisk = false);

    /// One round: reads what the busy lanes need, hashes up to READ_SIZE bytes of each, and
    /// reports progress and the messages that ended. Does nothing when idle.
    void round(LaneEvents& events);

private:
    // One file in progress. Its unhashed bytes are buffer[begin, end); once the file has ended,
    // its padding follows them, so that every lane always hashes whole blocks.
    struct Lane {
        std::uint8_t* buffer = nullptr;
        std::size_t begin = 0;
        std::size_t end = 0;
        std::size_t messageInBuffer = 0; // of buffer[begin, end), the bytes that are not padding
        std::uint64_t length = 0;        // message bytes so far, after the text-mode rule
        std::uint64_t position = 0;      // bytes read from the file
        std::int64_t size = -1;
        std::uint64_t ticket = 0;
        std::uint32_t state[4] = {};
        Algorithm algorithm = Algorithm::Md5;
        int fd = -1;
        bool busy = false;
        bool text = false;
        bool heldCr = false; // text mode: a CR read last, waiting for the byte after it
        bool ended = false;  // no more reads: end of file or an error
        bool readError = false;
        bool padded = false;
        bool noHasher = false;  // the lane's digest could not be had (see Hasher::begin)
        bool ahead = false;     // read a piece ahead through reads_
        bool sizeKnown = false; // the size when opened is where the file ends
    };

    void fill(Lane& lane, LaneEvents& events);
    void readMore(Lane& lane, LaneEvents& events);
    void close(Lane& lane);
    void hashOneRead(int index, LaneEvents& events);
    void end(Lane& lane, const Digest& digest, LaneEvents& events);
    void roundLanes(LaneEvents& events);
    void compress(const int* busy, int count, std::size_t blocks);

    Md5LanePath path_;
    Md5LaneFunction wide_;
    int width_;
    int wideFrom_;
    int laneCount_;
    int busy_ = 0;
    Lane lanes_[MD5_MAX_LANES];
    std::unique_ptr<Hasher[]> hashers_; // a lane's hasher, for the algorithms other than MD5
    std::uint8_t* storage_ = nullptr;
    // Files closed in the round under way, told to the events at its end: a file closes at the
    // system's descriptor limit, where the events had better not be called before a descriptor
    // is free again.
    std::uint64_t closedTickets_[MD5_MAX_LANES];
    int closedCount_ = 0;
    bool laneReads_ = false;
    std::unique_ptr<LaneReads> reads_; // made for the first file read ahead
};

/// The fewest busy lanes for which path's wide compression is faster than single-stream code on
/// this CPU, measured once per path.
int md5WideFrom(Md5LanePath path);
