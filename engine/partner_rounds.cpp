#include "engine/partner_rounds.h"

#include <new>
#include <system_error>

#include "os/processors.h"

std::unique_ptr<PartnerRounds> PartnerRounds::make(Md5LanePath path) {
    if (usableProcessors() < 2) {
        return nullptr; // on one processor the two rounds would only take turns
    }
    std::unique_ptr<PartnerRounds> partner(new (std::nothrow) PartnerRounds(path));
    if (partner == nullptr || !partner->hasher_.valid()) {
        return nullptr;
    }
    try {
        partner->thread_ = std::thread([p = partner.get()] { p->run(); });
    } catch (const std::system_error&) {
        return nullptr;
    }
    return partner;
}

PartnerRounds::PartnerRounds(Md5LanePath path) : hasher_(path) {
    recorder_.reserve();
}

PartnerRounds::~PartnerRounds() {
    if (thread_.joinable()) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }
}

void PartnerRounds::begin() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        asked_ = true;
    }
    changed_.notify_all();
}

void PartnerRounds::finish(LaneEvents& events) {
    {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return !asked_; });
    }
    recorder_.replay(events);
}

void PartnerRounds::run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return asked_ || stopping_; });
        if (stopping_) {
            return;
        }
        lock.unlock();
        hasher_.round(recorder_);
        lock.lock();
        asked_ = false;
        changed_.notify_all();
    }
}

void PartnerRounds::Recorder::hashed(std::uint64_t ticket, std::uint64_t bytes) {
    events_.push_back({Kind::Hashed, ticket, bytes, {}});
}

void PartnerRounds::Recorder::finished(std::uint64_t ticket, const Digest& digest, bool readError) {
    events_.push_back({Kind::Finished, ticket, readError ? 1u : 0u, digest});
}

void PartnerRounds::Recorder::readTo(std::uint64_t ticket, std::uint64_t position) {
    events_.push_back({Kind::ReadTo, ticket, position, {}});
}

void PartnerRounds::Recorder::closed(std::uint64_t ticket) {
    events_.push_back({Kind::Closed, ticket, 0, {}});
}

void PartnerRounds::Recorder::replay(LaneEvents& events) {
    for (const Event& event : events_) {
        switch (event.kind) {
        case Kind::Hashed:
            events.hashed(event.ticket, event.value);
            break;
        case Kind::Finished:
            events.finished(event.ticket, event.digest, event.value != 0);
            break;
        case Kind::ReadTo:
            events.readTo(event.ticket, event.value);
            break;
        case Kind::Closed:
            events.closed(event.ticket);
            break;
        }
    }
    events_.clear();
}
