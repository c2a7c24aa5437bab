#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

/// Reads for a fixed set of readers (lanes), each reading one file from its start to its end in
/// pieces of one size, kept one piece ahead: while a lane hashes a piece, the next is read by
/// io_uring's kernel workers into a buffer of the lane's own. The copying from the page cache,
/// and the waiting for a disk, then happen on another CPU than the hashing. Where io_uring
/// cannot be had, valid() says so and the caller reads for itself.
///
/// A piece that comes back short is taken for what it is: the rest is read from where it ended,
/// by plain reads. Should the ring fail (its calls
/// failing again and again), the lanes go on with plain reads from where they stand.
class LaneReads {
public:
    /// Room for lanes lanes, reading pieces of piece bytes.
    LaneReads(int lanes, std::size_t piece);
    ~LaneReads();
    LaneReads(const LaneReads&) = delete;
    LaneReads& operator=(const LaneReads&) = delete;

    /// Whether reads can be had: the ring and the buffers were set up.
    bool valid() const;

    /// Starts reading fd from its start for lane, whose earlier file is over. The caller keeps
    /// fd open until finish(lane).
    void start(int lane, int fd);
    /// The lane's next piece: waits for it, copies it to buffer and starts reading the one
    /// after. Returns the bytes copied (at most a piece; fewer where the file system answered
    /// in part, 0 at the end of the file), or -1 on a read error. After 0 or -1 the lane reads
    /// no more.
    long next(int lane, std::uint8_t* buffer);
    /// The lane is done with its file (at its end or not): a read still in flight is waited
    /// for, so that its descriptor can be closed and its buffer used again.
    void finish(int lane);

private:
    struct Lane;
    void submit(int lane);
    bool collect(bool wait);
    bool drain();
    std::uint8_t* bufferOf(int lane) const {
        return storage_ + piece_ * static_cast<std::size_t>(lane);
    }

    class Ring;
    std::unique_ptr<Ring> ring_;
    std::unique_ptr<Lane[]> lanes_;
    int laneCount_;
    std::size_t piece_;
    std::uint8_t* storage_ = nullptr;
    bool broken_ = false; // the ring failed: no more reads through it
};
