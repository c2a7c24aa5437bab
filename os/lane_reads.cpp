#include "os/lane_reads.h"

#include <cerrno>
#include <cstring>
#include <new>

#include <liburing.h>
#include <unistd.h>

namespace {
constexpr std::align_val_t ALIGNMENT{4096};
}

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
    ring_.reset();
    // A broken ring may leave reads in flight, which would write into freed memory: the
    // buffers are then left to the process.
    if (storage_ != nullptr && !broken_) {
        ::operator delete(storage_, ALIGNMENT);
    }
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
    io_uring_prep_read(sqe, lane.fd, storage_ + piece_ * static_cast<std::size_t>(index),
                       static_cast<unsigned>(piece_), lane.offset);
    io_uring_sqe_set_flags(sqe, IOSQE_ASYNC);
    io_uring_sqe_set_data64(sqe, static_cast<std::uint64_t>(index));
    lane.inFlight = true;
    lane.done = false;
    io_uring_submit(ring_->get());
}

// Takes the completions that have come; with wait, submits what is queued and waits for at
// least one. False when the ring fails, which it should never do.
bool LaneReads::collect(bool wait) {
    io_uring_cqe* cqe = nullptr;
    if (wait) {
        int waited;
        do {
            waited = io_uring_submit_and_wait(ring_->get(), 1);
        } while (waited == -EINTR || waited == -EAGAIN);
        if (waited < 0) {
            broken_ = true;
            return false;
        }
    }
    while (io_uring_peek_cqe(ring_->get(), &cqe) == 0) {
        Lane& lane = lanes_[io_uring_cqe_get_data64(cqe)];
        lane.result = cqe->res;
        lane.done = true;
        io_uring_cqe_seen(ring_->get(), cqe);
    }
    return true;
}

long LaneReads::next(int index, std::uint8_t* buffer) {
    Lane& lane = lanes_[index];
    if (lane.over) {
        return 0;
    }
    long n;
    if (lane.inFlight) {
        while (!lane.done) {
            if (broken_ || !collect(true)) {
                lane.over = true;
                return -1; // the piece cannot be had
            }
        }
        lane.inFlight = false;
        n = lane.result;
        if (n == -EINTR || n == -EAGAIN) {
            n = ::pread(lane.fd, buffer, piece_, static_cast<off_t>(lane.offset));
        } else if (n > 0) {
            std::memcpy(buffer, storage_ + piece_ * static_cast<std::size_t>(index),
                        static_cast<std::size_t>(n));
        }
    } else {
        do {
            n = ::pread(lane.fd, buffer, piece_, static_cast<off_t>(lane.offset));
        } while (n < 0 && errno == EINTR);
    }
    if (n <= 0) {
        lane.over = true;
        return n < 0 ? -1 : 0;
    }
    lane.offset += static_cast<std::uint64_t>(n);
    // A short piece is the end of a regular file, unless it is still growing; then the next
    // call reads for itself.
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
