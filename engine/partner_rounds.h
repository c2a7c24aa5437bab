#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/lane_hasher.h"

/// A second LaneHasher, whose rounds run on a thread of their own beside the rounds of the
/// caller's, so that large files are hashed on two cores. What its rounds tell is kept and told
/// on the caller's thread once the round is over, in the order it came, so that the caller's
/// events are only ever called from the caller's thread.
class PartnerRounds {
public:
    /// A partner made when this process may run on more than one processor, with lanes of path;
    /// null otherwise, or when its memory or its thread could not be had.
    static std::unique_ptr<PartnerRounds> make(Md5LanePath path);
    /// Ends the thread, between rounds.
    ~PartnerRounds();
    PartnerRounds(const PartnerRounds&) = delete;
    PartnerRounds& operator=(const PartnerRounds&) = delete;

    /// The partner's hasher: to start files in and look at, between rounds only.
    LaneHasher& hasher() { return hasher_; }

    /// Starts a round of the partner's hasher on its thread.
    void begin();
    /// Waits for the round begun to end, then tells events what the round told.
    void finish(LaneEvents& events);

private:
    explicit PartnerRounds(Md5LanePath path);

    // What a round tells, kept for the caller's thread.
    class Recorder : public LaneEvents {
    public:
        void hashed(std::uint64_t ticket, std::uint64_t bytes) override;
        void finished(std::uint64_t ticket, const Digest& digest, bool readError) override;
        void readTo(std::uint64_t ticket, std::uint64_t position) override;
        void closed(std::uint64_t ticket) override;
        void reserve() { events_.reserve(4 * MD5_MAX_LANES); }
        /// Tells events everything kept, in order, and forgets it.
        void replay(LaneEvents& events);

    private:
        enum class Kind { Hashed, Finished, ReadTo, Closed };
        struct Event {
            Kind kind;
            std::uint64_t ticket;
            std::uint64_t value; // bytes, position, or whether reading failed
            Digest digest;
        };
        std::vector<Event> events_;
    };

    void run();

    LaneHasher hasher_;
    Recorder recorder_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool asked_ = false;    // a round is asked for and not yet over
    bool stopping_ = false; // the thread is to end
    std::thread thread_;
};
