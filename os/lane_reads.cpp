#include "os/lane_reads.h"

#include <cerrno>
#include <cstring>
#include <mutex>
#include <new>
#include <vector>

#include <fcntl.h>
#include <liburing.h>
#include <unistd.h>

#include "os/read_calls.h"

namespace {

constexpr std::align_val_t ALIGNMENT{4096};

// Calls of the ring that fail with EINTR or EAGAIN are made again, this many times in all; a ring
// that fails more often than that (a filter that interrupts every call, say) is given up.
constexpr int RING_ATTEMPTS = 16;
// After that, the reads it still had in flight are waited for this long at most (rounds of a
// pause), before its buffers are freed.
constexpr int DRAIN_ROUNDS = 100;
constexpr useconds_t DRAIN_PAUSE_US = 2000;

// A plain read of the piece at offset, made again when interrupted. The descriptor may still
// carry the O_NONBLOCK it was opened with: a file system that honours it gets it cleared.
long readAt(int fd, std::uint8_t* buffer, std::size_t size, std::uint64_t offset) {
    ReadCalls& calls = ReadCalls::current();
    long n;
    do {
        n = calls.pread(fd, buffer, size, static_cast<off_t>(offset));
    } while (n < 0 && (errno == EINTR || (errno == EAGAIN && ::fcntl(fd, F_SETFL, 0) == 0)));
    return n;
}

} // namespace

struct LaneReads::Lane {
    int fd = -1;
    std::uint64_t offset = 0; // where the next read starts
    bool inFlight = false;    // a read into the buffer is under way
    bool done = false;        // its completion has come
    long result = 0;          // the completion's bytes, or -errno
    bool over = false;        // end of file or an error: no more reads
};

class LaneReads::Ring {
public:
    explicit Ring(unsigned entries) { started_ = io_uring_queue_init(entries, &ring_, 0) == 0; }
    ~Ring() {
        if (started_) {
            io_uring_queue_exit(&ring_);
        }
    }
    bool started() const { return started_; }
    io_uring* get() { return &ring_; }

private:
    io_uring ring_{};
    bool started_ = false;
};

LaneReads::LaneReads(int lanes, std::size_t piece)
    : lanes_(new (std::nothrow) Lane[static_cast<std::size_t>(lanes)]), laneCount_(lanes),
      piece_(piece) {
    if (lanes_ == nullptr) {
        return;
    }
    storage_ = static_cast<std::uint8_t*>(
        ::operator new(static_cast<std::size_t>(lanes) * piece, ALIGNMENT, std::nothrow));
    if (storage_ == nullptr) {
        return;
    }
    if (!ReadCalls::current().ringsAllowed()) {
        return;
    }
    ring_.reset(new (std::nothrow) Ring(static_cast<unsigned>(lanes) * 2));
    if (ring_ != nullptr && !ring_->started()) {
        ring_.reset();
    }
}

LaneReads::~LaneReads() {
    // The kernel writes into the buffers until each read completes: none may be left in flight
    // when they go.
    if (ring_ != nullptr) {
        for (int lane = 0; lane < laneCount_; ++lane) {
            finish(lane);
        }
    }
    const bool drained = !broken_ || drain();
    ring_.reset();
    if (storage_ == nullptr) {
        return;
    }
    if (drained) {
        ::operator delete(storage_, ALIGNMENT);
        return;
    }
    // Reads the kernel may still complete would write into freed memory: the buffers are kept
    // for the life of the process. No ring is set up after one has failed (see
    // ReadCalls::ringFailed), so this happens once at most.
    static std::mutex kept;
    static std::vector<std::uint8_t*> keptBuffers;
    const std::lock_guard<std::mutex> lock(kept);
    keptBuffers.push_back(storage_);
}

// A failed ring's reads in flight are looked for in its completion queue, which needs no call
// of the ring, for a short while. True when none is left in flight.
bool LaneReads::drain() {
    for (int round = 0; round < DRAIN_ROUNDS; ++round) {
        collect(false);
        bool inFlight = false;
        for (int lane = 0; lane < laneCount_; ++lane) {
            inFlight = inFlight || (lanes_[lane].inFlight && !lanes_[lane].done);
        }
        if (!inFlight) {
            return true;
        }
        ::usleep(DRAIN_PAUSE_US); // and the kernel's work for this thread runs on the way back
    }
    return false;
}

bool LaneReads::valid() const {
    return ring_ != nullptr && storage_ != nullptr && !broken_;
}

void LaneReads::start(int lane, int fd) {
    finish(lane);
    lanes_[lane] = Lane{};
    lanes_[lane].fd = fd;
    submit(lane);
}

// Starts the lane's next read. IOSQE_ASYNC sends it straight to the kernel's workers: tried
// here first, a read of cached pages would copy them on this thread.
void LaneReads::submit(int index) {
    if (broken_) {
        return; // next() reads for itself
    }
    Lane& lane = lanes_[index];
    io_uring_sqe* sqe = io_uring_get_sqe(ring_->get());
    if (sqe == nullptr) {
        io_uring_submit(ring_->get());
        sqe = io_uring_get_sqe(ring_->get());
    }
    if (sqe == nullptr) {
        return; // next() reads for itself
    }
    io_uring_prep_read(sqe, lane.fd, bufferOf(index), static_cast<unsigned>(piece_), lane.offset);
    io_uring_sqe_set_flags(sqe, IOSQE_ASYNC);
    io_uring_sqe_set_data64(sqe, static_cast<std::uint64_t>(index));
    lane.inFlight = true;
    lane.done = false;
    io_uring_submit(ring_->get());
}

// Takes the completions that have come; with wait, submits what is queued and waits for at
// least one. False when the ring fails: then it is given up, and the lanes read for themselves.
bool LaneReads::collect(bool wait) {
    ReadCalls& calls = ReadCalls::current();
    for (int attempt = 1; wait; ++attempt) {
        const int waited = calls.ringSubmitAndWait(ring_->get());
        if (waited >= 0) {
            break;
        }
        if ((waited != -EINTR && waited != -EAGAIN) || attempt == RING_ATTEMPTS) {
            broken_ = true;
            calls.ringFailed();
            return false;
        }
    }
    io_uring_cqe* cqe = nullptr;
    while (io_uring_peek_cqe(ring_->get(), &cqe) == 0) {
        const std::uint64_t index = io_uring_cqe_get_data64(cqe);
        if (index < static_cast<std::uint64_t>(laneCount_)) {
            Lane& lane = lanes_[index];
            lane.result = calls.ringReadResult(lane.fd, bufferOf(static_cast<int>(index)), piece_,
                                               static_cast<off_t>(lane.offset), cqe->res);
            lane.done = true;
        }
        io_uring_cqe_seen(ring_->get(), cqe);
    }
    return true;
}

long LaneReads::next(int index, std::uint8_t* buffer) {
    Lane& lane = lanes_[index];
    if (lane.over) {
        return 0;
    }
    // The piece read ahead, if any; a read of the ring that failed for a passing reason, or
    // that the ring gave up on, is made again here.
    long n = -EAGAIN;
    if (lane.inFlight) {
        while (!lane.done && !broken_) {
            collect(true);
        }
        lane.inFlight = false;
        if (lane.done) {
            n = lane.result;
        }
    }
    if (n > static_cast<long>(piece_)) {
        n = -EIO; // more than was asked for: nothing in it can be trusted
    }
    if (n > 0) {
        std::memcpy(buffer, bufferOf(index), static_cast<std::size_t>(n));
    } else if (n == -EINTR || n == -EAGAIN) {
        n = readAt(lane.fd, buffer, piece_, lane.offset);
    }
    if (n <= 0) {
        lane.over = true;
        return n < 0 ? -1 : 0;
    }
    lane.offset += static_cast<std::uint64_t>(n);
    // A whole piece: the next is read ahead. After a short one the lane reads for itself, from
    // where the piece ended, until a read of 0 bytes says the file is over.
    if (static_cast<std::size_t>(n) == piece_) {
        submit(index);
    }
    return n;
}

void LaneReads::finish(int index) {
    Lane& lane = lanes_[index];
    while (lane.inFlight && !lane.done && !broken_) {
        collect(true);
    }
    lane.inFlight = false;
    lane.over = true;
}
