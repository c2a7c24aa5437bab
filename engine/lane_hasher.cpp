#include "engine/lane_hasher.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <new>

#include "engine/md5_blocks.h"
#include "os/file_stream.h"
#include "os/read_ahead.h"

namespace {

constexpr std::size_t BLOCK = 64;
// A lane's buffer: what is left of the last read (less than a block), a held-back CR, one read,
// and the padding (at most 72 bytes), rounded to whole cache lines.
constexpr std::size_t LANE_BUFFER = LaneHasher::READ_SIZE + 256;
constexpr std::size_t MAX_ROUND_BLOCKS = LaneHasher::READ_SIZE / BLOCK;
constexpr std::align_val_t BUFFER_ALIGNMENT{64};

constexpr std::uint32_t INITIAL_STATE[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};

// Single-stream code hashes a few lanes at once with the portable multi-lane compression, a lone
// lane with the fastest one-message compression.
constexpr Md5LanePath GROUP_PATH = Md5LanePath::Portable;

void storeLittleEndian(std::uint8_t* out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

// The cost of hashing k lanes for one block without the wide compression: groups of the portable
// path's width, a lone lane left over by the one-message compression.
double scalarCost(int k, double group, double single) {
    const int width = md5LaneWidth(GROUP_PATH);
    const int rest = k % width;
    return (k / width) * group + (rest == 0 ? 0.0 : rest == 1 ? single : group);
}

int measureWideFrom(Md5LanePath path) {
    const int width = md5LaneWidth(path);
    const Md5LaneFunction wide = md5LaneFunction(path);
    const Md5LaneFunction group = md5LaneFunction(GROUP_PATH);
    if (wide == nullptr || path == GROUP_PATH) {
        return 2; // the portable path is its own group: two lanes already fill it best
    }
    constexpr std::size_t BLOCKS = 16;
    alignas(64) static const std::uint8_t input[BLOCKS * BLOCK] = {};
    const std::uint8_t* data[MD5_MAX_LANES];
    std::fill(std::begin(data), std::end(data), input);
    Md5LaneState state{};
    std::uint32_t single[4] = {};

    using Clock = std::chrono::steady_clock;
    Clock::duration best[3] = {std::chrono::hours(1), std::chrono::hours(1), std::chrono::hours(1)};
    // Alternating rounds, best of each: a pre-emption spoils one round, not the choice.
    for (int round = 0; round < 7; ++round) {
        for (int which = 0; which < 3; ++which) {
            const auto start = Clock::now();
            if (which == 0) {
                wide(state, data, BLOCKS);
            } else if (which == 1) {
                group(state, data, BLOCKS);
            } else {
                md5RunBlocks(single, input, BLOCKS);
            }
            const auto took = Clock::now() - start;
            if (round > 0 && took < best[which]) {
                best[which] = took;
            }
        }
    }
    const double wideCost = static_cast<double>(best[0].count());
    const double groupCost = static_cast<double>(best[1].count());
    const double singleCost = static_cast<double>(best[2].count());
    for (int k = 2; k <= width; ++k) {
        if (wideCost <= scalarCost(k, groupCost, singleCost)) {
            return k;
        }
    }
    return width + 1; // never: single-stream code is faster even with every lane busy
}

} // namespace

int md5WideFrom(Md5LanePath path) {
    static std::atomic<int> measured[3] = {0, 0, 0};
    const int index = static_cast<int>(path);
    int value = measured[index].load(std::memory_order_relaxed);
    if (value == 0) {
        value = measureWideFrom(path);
        measured[index].store(value, std::memory_order_relaxed);
    }
    return value;
}

LaneHasher::LaneHasher(Md5LanePath path, int wideFrom)
    : path_(md5LanePathAvailable(path) ? path : Md5LanePath::Portable),
      wide_(md5LaneFunction(path_)), width_(md5LaneWidth(path_)),
      wideFrom_(wideFrom > 0 ? wideFrom : md5WideFrom(path_)), laneCount_(width_) {
    hashers_.reset(new (std::nothrow) Hasher[static_cast<std::size_t>(laneCount_)]);
    if (hashers_ == nullptr) {
        return;
    }
    storage_ = static_cast<std::uint8_t*>(::operator new(
        LANE_BUFFER* static_cast<std::size_t>(laneCount_), BUFFER_ALIGNMENT, std::nothrow));
    if (storage_ == nullptr) {
        return;
    }
    for (int i = 0; i < laneCount_; ++i) {
        lanes_[i].buffer = storage_ + LANE_BUFFER * static_cast<std::size_t>(i);
    }
}

LaneHasher::~LaneHasher() {
    reads_.reset(); // waits for the reads in flight
    for (Lane& lane : lanes_) {
        if (lane.fd >= 0) {
            closeDescriptor(lane.fd);
        }
    }
    if (storage_ != nullptr) {
        ::operator delete(storage_, BUFFER_ALIGNMENT);
    }
}

void LaneHasher::start(int fd, std::int64_t size, bool text, Algorithm algorithm,
                       std::uint64_t ticket, std::size_t length, bool localDisk) {
    Lane* lane = std::find_if(lanes_, lanes_ + laneCount_, [](const Lane& l) { return !l.busy; });
    std::uint8_t* buffer = lane->buffer;
    *lane = Lane{};
    lane->buffer = buffer;
    lane->fd = fd;
    lane->size = size;
    lane->text = text;
    lane->algorithm = algorithm;
    lane->ticket = ticket;
    lane->busy = true;
    lane->sizeKnown = localDisk && size > 0;
    std::memcpy(lane->state, INITIAL_STATE, sizeof lane->state);
    if (algorithm != Algorithm::Md5 && !hashers_[lane - lanes_].begin(algorithm, length)) {
        // No digest can be had: the file ends at once, as at a read error.
        lane->ended = true;
        lane->readError = true;
        lane->noHasher = true;
    } else if (laneReads_ && localDisk && size > static_cast<std::int64_t>(READ_SIZE) &&
               !pageCacheHolds(fd, 0, static_cast<std::uint64_t>(size))) {
        // A file wholly in the page cache is read faster here than through the workers.
        if (reads_ == nullptr) {
            reads_.reset(new (std::nothrow) LaneReads(laneCount_, READ_SIZE));
        }
        if (reads_ != nullptr && reads_->valid()) {
            lane->ahead = true;
            reads_->start(static_cast<int>(lane - lanes_), fd);
        } else {
            laneReads_ = false; // no io_uring: every lane reads for itself
        }
    }
    ++busy_;
}

// Reads once into the lane, after the bytes it holds. In text mode a held-back CR goes in front
// of the new bytes, so that the rule sees it beside the byte that follows it.
void LaneHasher::readMore(Lane& lane, LaneEvents& events) {
    std::size_t at = lane.end;
    if (lane.heldCr) {
        lane.buffer[at++] = '\r';
    }
    const long n = lane.ahead ? reads_->next(static_cast<int>(&lane - lanes_), lane.buffer + at)
                              : readDescriptor(lane.fd, lane.buffer + at, READ_SIZE);
    if (n < 0) {
        // The bytes read before count; a held-back CR was never delivered.
        lane.ended = true;
        lane.readError = true;
        return;
    }
    if (n == 0) {
        // A CR at the very end of the file stays a CR.
        lane.ended = true;
        lane.messageInBuffer += at - lane.end;
        lane.length += at - lane.end;
        lane.end = at;
        lane.heldCr = false;
        return;
    }
    lane.position += static_cast<std::uint64_t>(n);
    events.readTo(lane.ticket, lane.position);
    std::size_t newEnd = at + static_cast<std::size_t>(n);
    if (lane.text) {
        char* region = reinterpret_cast<char*>(lane.buffer + lane.end);
        newEnd = lane.end + dropCrBeforeLf(region, newEnd - lane.end, lane.heldCr);
    }
    lane.messageInBuffer += newEnd - lane.end;
    lane.length += newEnd - lane.end;
    lane.end = newEnd;
    // A short read that reaches the size the file had when opened is its end, where that size
    // can be believed: asking again would only hear so, at the cost of a system call per file.
    // Elsewhere a file system may answer a read in part and change the size it tells as it
    // goes (FUSE does), and only a read of 0 bytes ends the file.
    if (lane.sizeKnown && static_cast<std::size_t>(n) < READ_SIZE &&
        lane.position == static_cast<std::uint64_t>(lane.size)) {
        lane.ended = true;
        if (lane.heldCr) {
            lane.buffer[lane.end++] = '\r';
            ++lane.messageInBuffer;
            ++lane.length;
            lane.heldCr = false;
        }
    }
}

// Gives the lane at least one whole block: moves what is left to the front, reads until a block
// is there or the file has ended, and pads an ended file as RFC 1321 says (a 1 bit, zeros, the
// length in bits modulo 2^64), so that its last blocks go through the lanes like the others.
void LaneHasher::fill(Lane& lane, LaneEvents& events) {
    const std::size_t left = lane.end - lane.begin;
    std::memmove(lane.buffer, lane.buffer + lane.begin, left);
    lane.begin = 0;
    lane.end = left;
    while (!lane.ended && lane.end < BLOCK) {
        readMore(lane, events);
    }
    if (!lane.ended) {
        return;
    }
    close(lane);
    lane.buffer[lane.end++] = 0x80;
    const std::size_t zeros = (BLOCK + 56 - lane.end % BLOCK) % BLOCK;
    std::memset(lane.buffer + lane.end, 0, zeros);
    lane.end += zeros;
    storeLittleEndian(lane.buffer + lane.end, lane.length * 8, 8);
    lane.end += 8;
    lane.padded = true;
}

// Hashes blocks blocks of each of the count busy lanes listed in busy. Enough busy lanes run
// through the wide compression, the spare lanes repeating the first lane's input; fewer run
// through single-stream code, which does not pay for lanes that carry nothing.
void LaneHasher::compress(const int* busy, int count, std::size_t blocks) {
    auto run = [&](Md5LaneFunction function, int width, int first, int n) {
        Md5LaneState batch;
        const std::uint8_t* data[MD5_MAX_LANES];
        for (int j = 0; j < width; ++j) {
            const Lane& lane = lanes_[busy[first + (j < n ? j : 0)]];
            data[j] = lane.buffer + lane.begin;
            for (int w = 0; w < 4; ++w) {
                batch.words[w][j] = lane.state[w];
            }
        }
        function(batch, data, blocks);
        for (int j = 0; j < n; ++j) {
            Lane& lane = lanes_[busy[first + j]];
            for (int w = 0; w < 4; ++w) {
                lane.state[w] = batch.words[w][j];
            }
        }
    };
    if (count >= wideFrom_) {
        run(wide_, width_, 0, count);
        return;
    }
    const int groupWidth = md5LaneWidth(GROUP_PATH);
    for (int first = 0; first < count; first += groupWidth) {
        const int n = std::min(groupWidth, count - first);
        if (n == 1) {
            Lane& lane = lanes_[busy[first]];
            md5RunBlocks(lane.state, lane.buffer + lane.begin, blocks);
        } else {
            run(md5LaneFunction(GROUP_PATH), groupWidth, first, n);
        }
    }
}

// A lane of another algorithm than MD5: one read, hashed whole through the lane's Hasher.
void LaneHasher::hashOneRead(int index, LaneEvents& events) {
    Lane& lane = lanes_[index];
    lane.begin = 0;
    lane.end = 0;
    if (!lane.ended) {
        readMore(lane, events);
    }
    if (lane.end > 0) {
        hashers_[index].update(lane.buffer, lane.end);
        events.hashed(lane.ticket, lane.end);
    }
    if (lane.ended) {
        Digest digest = Digest::of(lane.algorithm);
        if (!lane.noHasher) {
            hashers_[index].finish(digest);
        }
        end(lane, digest, events);
    }
}

// The lane's file has been read to its end: its descriptor goes.
void LaneHasher::close(Lane& lane) {
    if (lane.ahead) {
        reads_->finish(static_cast<int>(&lane - lanes_));
        lane.ahead = false;
    }
    if (lane.fd >= 0) {
        closeDescriptor(lane.fd);
        lane.fd = -1;
        closedTickets_[closedCount_++] = lane.ticket;
    }
}

// The lane's file has been hashed to its end: the descriptor goes, the lane is free.
void LaneHasher::end(Lane& lane, const Digest& digest, LaneEvents& events) {
    close(lane);
    lane.busy = false;
    --busy_;
    events.finished(lane.ticket, digest, lane.readError);
}

void LaneHasher::round(LaneEvents& events) {
    roundLanes(events);
    for (int i = 0; i < closedCount_; ++i) {
        events.closed(closedTickets_[i]);
    }
    closedCount_ = 0;
}

void LaneHasher::roundLanes(LaneEvents& events) {
    int busy[MD5_MAX_LANES];
    int count = 0;
    std::size_t blocks = MAX_ROUND_BLOCKS;
    for (int i = 0; i < laneCount_; ++i) {
        Lane& lane = lanes_[i];
        if (!lane.busy) {
            continue;
        }
        if (lane.algorithm != Algorithm::Md5) {
            hashOneRead(i, events);
            continue;
        }
        if (lane.end - lane.begin < BLOCK && !lane.padded) {
            fill(lane, events);
        }
        // Every busy lane now holds a whole block or more: data, or data and its padding.
        blocks = std::min(blocks, (lane.end - lane.begin) / BLOCK);
        busy[count++] = i;
    }
    if (count == 0) {
        return;
    }
    compress(busy, count, blocks);

    for (int j = 0; j < count; ++j) {
        Lane& lane = lanes_[busy[j]];
        const std::size_t message = std::min(blocks * BLOCK, lane.messageInBuffer);
        lane.begin += blocks * BLOCK;
        lane.messageInBuffer -= message;
        if (message > 0) {
            events.hashed(lane.ticket, message);
        }
        if (lane.padded && lane.begin == lane.end) {
            Digest digest;
            for (int w = 0; w < 4; ++w) {
                storeLittleEndian(digest.data() + 4 * w, lane.state[w], 4);
            }
            end(lane, digest, events);
        }
    }
}
