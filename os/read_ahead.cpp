#include "os/read_ahead.h"

#include <algorithm>
#include <cstring>
#include <new>

#include <fcntl.h>
#include <liburing.h>
#include <sys/resource.h>
#include <unistd.h>

#include "os/device_class.h"
#include "os/read_calls.h"

namespace {

// Measured with the page cache dropped on a virtual disk: 64 files opened ahead and 16 MiB
// asked for in 256 KiB pieces read the system's packaged files nearly as fast as 16 parallel
// readers; more files or bytes gained nothing, larger pieces lost.
constexpr ReadAheadPolicy PARALLEL{64, 16u << 20, 256u << 10, false};
// A spinning disk: fewer files, larger pieces, strictly in order.
constexpr ReadAheadPolicy ROTATIONAL{16, 16u << 20, 2u << 20, true};
constexpr ReadAheadPolicy OFF{};

// Of the process's descriptors, at most this share is held by files opened ahead, so that the
// rest of the program always finds one.
constexpr rlim_t DESCRIPTOR_SHARE = 8;

// Ranges found in the page cache one after the other that make the rest be looked at only in
// samples, one in so many.
constexpr unsigned CACHED_RUN = 64;
constexpr unsigned CACHED_SAMPLE = 16;

// Requests the io_uring holds: a submission queue of this many, completions twice as many.
constexpr unsigned RING_ENTRIES = 64;

ReadAheadChoice forced = ReadAheadChoice::ByDevice;

// The last device looked at: the files of one run are mostly on one device, and each look
// reads several sysfs files.
struct {
    bool known = false;
    std::uint64_t device = 0;
    DeviceKind kind = DeviceKind::Parallel;
} lastDevice;

DeviceKind kindOf(std::uint64_t device) {
    if (!lastDevice.known || lastDevice.device != device) {
        lastDevice.kind = deviceKindOf(device);
        lastDevice.device = device;
        lastDevice.known = true;
    }
    return lastDevice.kind;
}

} // namespace

// An io_uring that takes WILLNEED advice. io_uring always hands that advice to its kernel
// workers, so the page allocation and the device's requests leave the hashing thread. Nothing
// waits on a completion: they are only collected, to keep the completion queue from filling.
class ReadAhead::Ring {
public:
    bool start() {
        started_ = io_uring_queue_init(RING_ENTRIES, &ring_, 0) == 0;
        return started_;
    }
    ~Ring() {
        if (started_) {
            io_uring_queue_exit(&ring_);
        }
    }

    /// Queues the advice; false when no room is left, and the caller advises itself.
    bool advise(int fd, std::uint64_t offset, std::uint64_t length) {
        collect();
        if (inFlight_ + queued_ >= 2 * RING_ENTRIES) {
            return false;
        }
        io_uring_sqe* sqe = io_uring_get_sqe(&ring_);
        if (sqe == nullptr) {
            submit();
            sqe = io_uring_get_sqe(&ring_);
        }
        if (sqe == nullptr) {
            return false;
        }
        io_uring_prep_fadvise(sqe, fd, offset, static_cast<off_t>(length), POSIX_FADV_WILLNEED);
        ++queued_;
        return true;
    }

    /// Hands the queued advice to the kernel, which takes its own hold of each file: the
    /// caller may close a descriptor once this has run.
    void submit() {
        if (queued_ > 0) {
            const int submitted = io_uring_submit(&ring_);
            if (submitted > 0) {
                inFlight_ += static_cast<unsigned>(submitted);
                queued_ -= std::min(queued_, static_cast<unsigned>(submitted));
            }
        }
    }

private:
    void collect() {
        io_uring_cqe* cqes[RING_ENTRIES];
        unsigned n;
        while (inFlight_ > 0 && (n = io_uring_peek_batch_cqe(&ring_, cqes, RING_ENTRIES)) > 0) {
            io_uring_cq_advance(&ring_, n);
            inFlight_ -= std::min(inFlight_, n);
        }
    }

    io_uring ring_{};
    bool started_ = false;
    unsigned queued_ = 0;   // prepared, not submitted
    unsigned inFlight_ = 0; // submitted, completion not collected
};

ReadAheadPolicy readAheadPolicyFor(std::uint64_t device) {
    ReadAheadPolicy policy;
    switch (forced) {
    case ReadAheadChoice::ByDevice:
        policy = kindOf(device) == DeviceKind::Rotational ? ROTATIONAL : PARALLEL;
        break;
    case ReadAheadChoice::Off:
        policy = OFF;
        break;
    case ReadAheadChoice::Parallel:
        policy = PARALLEL;
        break;
    case ReadAheadChoice::Rotational:
        policy = ROTATIONAL;
        break;
    }
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        policy.files = std::min<std::size_t>(policy.files, limit.rlim_cur / DESCRIPTOR_SHARE);
    }
    return policy;
}

void forceReadAhead(ReadAheadChoice choice) {
    forced = choice;
}

ReadAhead::ReadAhead() = default;
ReadAhead::~ReadAhead() = default;

bool ReadAhead::reset(const ReadAheadPolicy& policy, std::size_t room) {
    policy_ = policy;
    count_ = 0;
    settled_ = 0;
    started_ = 0;
    outstanding_ = 0;
    room_ = 0;
    entries_.reset(room == 0 ? nullptr : new (std::nothrow) Entry[room]);
    if (entries_ == nullptr) {
        policy_ = ReadAheadPolicy{};
        return room == 0;
    }
    room_ = room;
    if (policy.bytes > 0 && ring_ == nullptr && ReadCalls::current().ringsAllowed()) {
        // Without io_uring (an old kernel, a filter that forbids it), the advice is given here.
        ring_.reset(new (std::nothrow) Ring);
        if (ring_ != nullptr && !ring_->start()) {
            ring_.reset();
        }
    }
    return true;
}

ReadAhead::Entry* ReadAhead::find(std::uint64_t key) const {
    Entry* end = entries_.get() + count_;
    Entry* entry = std::lower_bound(entries_.get(), end, key,
                                    [](const Entry& e, std::uint64_t k) { return e.key < k; });
    return entry != end && entry->key == key ? entry : nullptr;
}

void ReadAhead::opened(std::uint64_t key, int fd, std::int64_t size) {
    if (count_ == room_ || policy_.bytes == 0) {
        return;
    }
    entries_[count_++] =
        Entry{key, fd, static_cast<std::uint64_t>(std::max<std::int64_t>(size, 0)), 0, 0};
}

void ReadAhead::readTo(std::uint64_t key, std::uint64_t position) {
    Entry* entry = find(key);
    if (entry == nullptr || position <= entry->read) {
        return;
    }
    // Of the bytes read now, those that had been asked for are no longer ahead.
    const std::uint64_t before = std::min(entry->read, entry->asked);
    entry->read = position;
    outstanding_ -= std::min(entry->read, entry->asked) - before;
}

void ReadAhead::closed(std::uint64_t key) {
    Entry* entry = find(key);
    if (entry == nullptr) {
        return;
    }
    outstanding_ -= entry->asked - std::min(entry->read, entry->asked);
    Entry* end = entries_.get() + count_;
    const std::size_t index = static_cast<std::size_t>(entry - entries_.get());
    std::memmove(static_cast<void*>(entry), entry + 1,
                 static_cast<std::size_t>(end - (entry + 1)) * sizeof(Entry));
    --count_;
    settled_ -= index < settled_ ? 1 : 0;
    started_ -= index < started_ ? 1 : 0;
}

bool ReadAhead::reached(std::uint64_t key) const {
    const Entry* entry = find(key);
    return entry == nullptr || entry->asked > 0 || entry->size == 0;
}

void ReadAhead::advise() {
    // The first files, whose every byte has been asked for, need no more looking at.
    while (settled_ < count_ && entries_[settled_].asked >= entries_[settled_].size) {
        ++settled_;
    }
    started_ = std::max(started_, settled_);
    if (!policy_.inOrder) {
        // First the start of every file: a lane that takes a file finds it on its way, while a
        // large file before it would otherwise hold the whole budget.
        for (std::size_t i = started_; i < count_ && outstanding_ < policy_.bytes; ++i) {
            const std::uint64_t start = std::min(policy_.unit, entries_[i].size);
            askUpTo(entries_[i], start);
            if (i == started_ && entries_[i].asked >= start) {
                ++started_;
            }
        }
    }
    for (std::size_t i = settled_; i < count_ && outstanding_ < policy_.bytes; ++i) {
        askUpTo(entries_[i], entries_[i].size);
    }
    if (ring_ != nullptr) {
        ring_->submit();
    }
}

void ReadAhead::askUpTo(Entry& entry, std::uint64_t end) {
    // Bytes already read need no asking.
    entry.asked = std::max(entry.asked, entry.read);
    while (entry.asked < end && outstanding_ < policy_.bytes) {
        const std::uint64_t length = std::min(policy_.unit, end - entry.asked);
        if (!cached(entry.fd, entry.asked, length)) {
            ask(entry.fd, entry.asked, length);
        }
        entry.asked += length;
        outstanding_ += length;
    }
}

void ReadAhead::ask(int fd, std::uint64_t offset, std::uint64_t length) {
    if (ring_ == nullptr || !ring_->advise(fd, offset, length)) {
        ReadCalls::current().adviseWillNeed(fd, static_cast<off_t>(offset),
                                            static_cast<off_t>(length));
    }
}

// After a run of ranges found in the page cache, the files are taken to be there: only every
// CACHED_SAMPLE-th range is looked at, until one is found missing. A warm cache then costs a
// system call for few files, and a cold one is noticed within a few files.
bool ReadAhead::cached(int fd, std::uint64_t offset, std::uint64_t length) {
    if (!probe_) {
        return false;
    }
    if (cachedRun_ >= CACHED_RUN && ++sampled_ % CACHED_SAMPLE != 0) {
        return true;
    }
    const bool holds = pageCacheHolds(fd, offset, length, &probe_);
    cachedRun_ = holds ? cachedRun_ + 1 : 0;
    return holds;
}

bool pageCacheHolds(int fd, std::uint64_t offset, std::uint64_t length, bool* available) {
    const std::int64_t cached = ReadCalls::current().cachedPages(fd, offset, length);
    if (cached < 0) {
        if (available != nullptr) {
            *available = false;
        }
        return false;
    }
    static const std::uint64_t page = static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
    const std::uint64_t first = offset / page;
    const std::uint64_t last = (offset + length + page - 1) / page;
    return static_cast<std::uint64_t>(cached) >= last - first;
}
