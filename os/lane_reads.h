#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

/// Reads for a fixed set of readers (lanes), each reading one file from its start to its end in
/// pieces of one size, kept one piece ahead: while a lane hashes a piece, the next is read by
/// io_uring's kernel workers into a buffer of the lane's own. The copying from the page cache,
/// and the waiting for a disk, then happen on another CPU than the hashing. Where io_uring
/// cannot be had, start() says so and the caller reads for itself.
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
    /// after. Returns the bytes copied (fewer than a piece only at the end of the file, 0 at
    /// it), or -1 on a read error. After 0 or -1 the lane reads no more.
    long next(int lane, std::uint8_t* buffer);
    /// The lane is done with its file (at its end or not): a read still in flight is waited
    /// for, so that its descriptor can be closed and its buffer used again.
    void finish(int lane);

private:
    struct Lane;
    void submit(int lane);
    bool collect(bool wait);

    class Ring;
    std::unique_ptr<Ring> ring_;
    std::unique_ptr<Lane[]> lanes_;
    int laneCount_;
    std::size_t piece_;
    std::uint8_t* storage_ = nullptr;
    bool broken_ = false; // the ring failed: no more reads through it
};
