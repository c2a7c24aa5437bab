#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/lane_hasher.h"
#include "engine/partner_rounds.h"
#include "engine/work_meter.h"
#include "os/read_ahead.h"

/// The order-keeping half of side-by-side hashing. Items go in in order, each a file to hash or
/// an item with nothing to hash, and come out oldest first, each once it is complete; files are
/// hashed in a LaneHasher meanwhile, up to a lane each, so that a queue of capacity n holds up to
/// n items read ahead of the oldest. Every item has a place below capacity()
/// where its owner keeps what else it needs, valid from add until pop.
///
/// A meter hears the bytes of each file when that file is the oldest not yet handed out: a file
/// hashed ahead is counted only when its turn comes, so the running count, and where a stop at
/// a given count falls, are the same as when the files are hashed one after the other.
///
/// With a read-ahead (see useReadAhead), files may be added beyond the free lanes: they wait,
/// open, for a lane in their order, while a ReadAhead asks the system for their bytes, so that
/// a cold disk has many reads in flight when the lanes come to them.
///
/// Files larger than PARTNER_FROM may be hashed in the lanes of a second hasher, whose rounds run
/// on another core beside the first one's (see PartnerRounds), where the process may use more
/// than one processor. A file is hashed whole in one lane, so that one large file stays one
/// stream.
class HashQueue : private LaneEvents {
public:
    /// Files of more bytes than this may go to the second hasher: a round of theirs outweighs
    /// the cost of handing it to another thread.
    static constexpr std::int64_t PARTNER_FROM = 2 * LaneHasher::READ_SIZE;

    /// Room for capacity items, a power of two.
    explicit HashQueue(std::size_t capacity, Md5LanePath path = md5ActiveLanePath());
    ~HashQueue();
    HashQueue(const HashQueue&) = delete;
    HashQueue& operator=(const HashQueue&) = delete;

    /// False when the memory could not be had; nothing else may be called then.
    bool valid() const { return slots_ != nullptr && hasher_.valid(); }
    std::size_t capacity() const { return capacity_; }
    bool empty() const { return count_ == 0; }
    bool full() const { return count_ == capacity_; }
    /// Whether a file can be added now: there is room, and a lane for it or room among the
    /// files that wait for one.
    bool canAddFile() const {
        return !full() && (waiting_ < lookAhead_ || (waiting_ == 0 && hasFreeLane()));
    }

    /// From now on up to policy.files files wait, opened, for a lane, and their bytes are read
    /// ahead as policy says. Before, and with a policy of no files, a file is added only when
    /// a lane is free for it.
    void useReadAhead(const ReadAheadPolicy& policy);
    /// The system has run out of descriptors: fewer files are opened ahead from now on.
    void shrinkLookAhead() { lookAhead_ = waiting_ / 2; }

    /// Adds an item with nothing to hash; error: why its file did not open (errno), if it has
    /// one. Returns its place.
    std::size_t add(int error = 0);
    /// Adds the open file fd (size bytes when opened, -1 if unknown), hashed with algorithm to a
    /// digest of length bytes (0: the algorithm's own), in text mode if text; the queue owns fd
    /// from now on. localDisk: see LaneHasher::start. It starts in a lane at once if one is
    /// free, and waits for one otherwise. Returns its place. Only when canAddFile().
    std::size_t addFile(int fd, std::int64_t size, bool text, Algorithm algorithm,
                        std::size_t length = 0, bool localDisk = false);
    /// The place the next item added will take.
    std::size_t nextPlace() const { return placeOf(head_ + count_); }

    /// The oldest item: its place, and what became of it. Only when not empty().
    std::size_t front() const { return placeOf(head_); }
    std::uint64_t frontNumber() const { return head_; } ///< 0 for the first item ever added
    bool frontIsFile() const { return slots_[front()].file; }
    const Digest& frontDigest() const { return slots_[front()].digest; }
    bool frontReadError() const { return slots_[front()].readError; }
    int frontError() const { return slots_[front()].error; }

    enum class Front { Ready, Hashing, Stopped };
    /// Brings meter (if any) up to date with the oldest item: beginFile(name, size) when a file
    /// has newly come to the front, then its bytes hashed since it was last told. Ready: the
    /// item is complete and may be handed out; Hashing: it is not; Stopped: the meter asked to
    /// stop.
    Front settleFront(WorkMeter* meter, const char* name);
    /// Removes the oldest item.
    void pop();

    /// Whether any file is being hashed or waits for a lane.
    bool hashing() const { return !idle() || waiting_ > 0; }
    /// Asks for the bytes read ahead, hashes one round (see LaneHasher::round) with waiting
    /// files taking the free lanes, then tells meter (if any) of the oldest item's progress,
    /// even of none, so that it hears from the work every round. False when the meter asks to
    /// stop.
    bool work(WorkMeter* meter);

private:
    struct Slot {
        bool file = false;
        bool complete = false;
        bool readError = false;
        bool waiting = false; // opened, waiting for a lane
        bool text = false;
        bool localDisk = false;
        Algorithm algorithm = Algorithm::Md5;
        std::size_t length = 0; // of the digest; 0: the algorithm's own
        int fd = -1;            // while waiting
        int error = 0;          // why the item's file did not open
        std::int64_t size = -1;
        std::uint64_t hashed = 0;   // bytes hashed so far
        std::uint64_t credited = 0; // of those, the bytes a meter has heard of
        Digest digest{};
    };

    void hashed(std::uint64_t ticket, std::uint64_t bytes) override;
    void finished(std::uint64_t ticket, const Digest& digest, bool readError) override;
    void readTo(std::uint64_t ticket, std::uint64_t position) override;
    void closed(std::uint64_t ticket) override;
    void startWaiting();
    /// The hasher the waiting file of slot starts in now, or null if it must wait.
    LaneHasher* laneFor(const Slot& slot);
    bool hasFreeLane() const {
        return hasher_.hasFreeLane() ||
               (partnerAllowed_ && (partner_ == nullptr || partner_->hasher().hasFreeLane()));
    }
    bool idle() const {
        return hasher_.idle() && (partner_ == nullptr || partner_->hasher().idle());
    }
    std::size_t placeOf(std::uint64_t number) const {
        return static_cast<std::size_t>(number & (capacity_ - 1));
    }
    Slot& slotOf(std::uint64_t number) { return slots_[placeOf(number)]; }

    std::size_t capacity_;
    std::unique_ptr<Slot[]> slots_;
    bool credit(WorkMeter* meter, bool always);

    std::uint64_t head_ = 0; // number of the oldest item
    std::size_t count_ = 0;
    std::uint64_t announced_ = ~std::uint64_t{0}; // the last file named to beginFile
    std::size_t waiting_ = 0;                     // files waiting for a lane
    std::size_t lookAhead_ = 0;                   // at most so many
    bool inOrder_ = false;        // a file waits until the read-ahead has reached it
    std::uint64_t nextStart_ = 0; // no file before this number waits
    ReadAhead readAhead_;
    LaneHasher hasher_;
    Md5LanePath path_;
    bool partnerAllowed_ = true;             // large files may yet go to a partner
    bool laneReads_ = false;                 // see LaneHasher::useLaneReads
    std::unique_ptr<PartnerRounds> partner_; // made for the first large file
};
