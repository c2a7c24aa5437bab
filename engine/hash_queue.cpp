#include "engine/hash_queue.h"

#include <algorithm>
#include <new>

namespace {
constexpr std::uint64_t CREDIT_PIECE = LaneHasher::READ_SIZE;
}

HashQueue::HashQueue(std::size_t capacity, Md5LanePath path)
    : capacity_(capacity), slots_(new (std::nothrow) Slot[capacity]), hasher_(path) {}

std::size_t HashQueue::add() {
    const std::uint64_t number = head_ + count_++;
    slotOf(number) = Slot{};
    slotOf(number).complete = true;
    return placeOf(number);
}

std::size_t HashQueue::addFile(int fd, std::int64_t size, bool text, Algorithm algorithm) {
    const std::uint64_t number = head_ + count_++;
    Slot& slot = slotOf(number);
    slot = Slot{};
    slot.file = true;
    slot.size = size;
    hasher_.start(fd, size, text, algorithm, number);
    return placeOf(number);
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
    hasher_.round(*this);
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

void HashQueue::finished(std::uint64_t ticket, const Digest& digest, bool readError) {
    Slot& slot = slotOf(ticket);
    slot.complete = true;
    slot.digest = digest;
    slot.readError = readError;
}
