#include "engine/hash_queue.h"

#include <algorithm>
#include <new>

#include "os/file_stream.h"

namespace {
constexpr std::uint64_t CREDIT_PIECE = LaneHasher::READ_SIZE;
}

HashQueue::HashQueue(std::size_t capacity, Md5LanePath path)
    : capacity_(capacity), slots_(new (std::nothrow) Slot[capacity]), hasher_(path), path_(path) {}

HashQueue::~HashQueue() {
    // Files opened ahead and never started: a stop leaves them unread.
    for (std::uint64_t number = head_; waiting_ > 0 && number < head_ + count_; ++number) {
        Slot& slot = slotOf(number);
        if (slot.waiting) {
            closeDescriptor(slot.fd);
            slot.waiting = false;
            --waiting_;
        }
    }
}

void HashQueue::useReadAhead(const ReadAheadPolicy& policy) {
    // Room for every file that can be open at once: one a lane, and the waiting ones.
    const std::size_t lanes = static_cast<std::size_t>(hasher_.lanes()) * (partnerAllowed_ ? 2 : 1);
    if (readAhead_.reset(policy, policy.files + lanes)) {
        lookAhead_ = policy.files;
        inOrder_ = policy.inOrder;
        laneReads_ = policy.files > 0;
        hasher_.useLaneReads(laneReads_);
        if (partner_ != nullptr) {
            partner_->hasher().useLaneReads(laneReads_);
        }
    }
}

std::size_t HashQueue::add(int error) {
    const std::uint64_t number = head_ + count_++;
    slotOf(number) = Slot{};
    slotOf(number).complete = true;
    slotOf(number).error = error;
    return placeOf(number);
}

std::size_t HashQueue::addFile(int fd, std::int64_t size, bool text, Algorithm algorithm,
                               std::size_t length, bool localDisk) {
    const std::uint64_t number = head_ + count_++;
    Slot& slot = slotOf(number);
    slot = Slot{};
    slot.file = true;
    slot.size = size;
    slot.waiting = true;
    slot.text = text;
    slot.localDisk = localDisk;
    slot.algorithm = algorithm;
    slot.length = length;
    slot.fd = fd;
    ++waiting_;
    readAhead_.opened(number, fd, size);
    startWaiting();
    return placeOf(number);
}

// Free lanes take the waiting files, oldest first. In order, a file waits too until the
// read-ahead has reached it, unless no lane is busy (then the read-ahead has nothing else to
// ask for first).
void HashQueue::startWaiting() {
    nextStart_ = std::max(nextStart_, head_);
    while (waiting_ > 0 && hasFreeLane()) {
        while (!slotOf(nextStart_).waiting) {
            ++nextStart_;
        }
        Slot& slot = slotOf(nextStart_);
        if (inOrder_ && !idle() && !readAhead_.reached(nextStart_)) {
            return;
        }
        LaneHasher* hasher = laneFor(slot);
        if (hasher == nullptr) {
            return;
        }
        slot.waiting = false;
        --waiting_;
        hasher->start(slot.fd, slot.size, slot.text, slot.algorithm, nextStart_, slot.length,
                      slot.localDisk);
        slot.fd = -1;
        ++nextStart_;
    }
}

LaneHasher* HashQueue::laneFor(const Slot& slot) {
    LaneHasher* first = hasher_.hasFreeLane() ? &hasher_ : nullptr;
    if (slot.size <= PARTNER_FROM || !partnerAllowed_) {
        return first;
    }
    if (partner_ == nullptr) {
        partner_ = PartnerRounds::make(path_);
        if (partner_ == nullptr) {
            partnerAllowed_ = false;
            return first;
        }
        partner_->hasher().useLaneReads(laneReads_);
    }
    // The one with fewer busy lanes, so that the two rounds carry alike; the first on a tie, so
    // that a lone large file is hashed where no hand-over is needed.
    LaneHasher& second = partner_->hasher();
    if (second.hasFreeLane() && (first == nullptr || second.busyLanes() < first->busyLanes())) {
        return &second;
    }
    return first;
}

HashQueue::Front HashQueue::settleFront(WorkMeter* meter, const char* name) {
    const Slot& slot = slots_[front()];
    if (meter != nullptr && slot.file && announced_ != head_) {
        meter->beginFile(name, slot.size);
        announced_ = head_;
    }
    if (!credit(meter, false)) {
        return Front::Stopped;
    }
    return slot.complete ? Front::Ready : Front::Hashing;
}

bool HashQueue::work(WorkMeter* meter) {
    readAhead_.advise();
    startWaiting();
    if (partner_ == nullptr || partner_->hasher().idle()) {
        hasher_.round(*this);
    } else if (hasher_.idle()) {
        partner_->hasher().round(*this);
    } else {
        partner_->begin();
        hasher_.round(*this);
        partner_->finish(*this);
    }
    startWaiting();
    return empty() || credit(meter, true);
}

bool HashQueue::credit(WorkMeter* meter, bool always) {
    if (meter == nullptr) {
        return true;
    }
    // A file hashed ahead has all its bytes to tell at once; they go in pieces no larger than a
    // round's, so that a stop can still fall part-way through it. A file not yet named to the
    // meter (settleFront does that) keeps its bytes until it is.
    Slot& slot = slots_[front()];
    if (slot.hashed == slot.credited || (slot.file && announced_ != head_)) {
        return !always || meter->advance(0);
    }
    while (slot.credited < slot.hashed) {
        const std::uint64_t piece = std::min(slot.hashed - slot.credited, CREDIT_PIECE);
        slot.credited += piece;
        if (!meter->advance(piece)) {
            return false;
        }
    }
    return true;
}

void HashQueue::pop() {
    ++head_;
    --count_;
}

void HashQueue::hashed(std::uint64_t ticket, std::uint64_t bytes) {
    slotOf(ticket).hashed += bytes;
}

void HashQueue::readTo(std::uint64_t ticket, std::uint64_t position) {
    readAhead_.readTo(ticket, position);
}

void HashQueue::closed(std::uint64_t ticket) {
    readAhead_.closed(ticket);
}

void HashQueue::finished(std::uint64_t ticket, const Digest& digest, bool readError) {
    Slot& slot = slotOf(ticket);
    slot.complete = true;
    slot.digest = digest;
    slot.readError = readError;
}
