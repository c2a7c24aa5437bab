#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/digest.h"

/// Incremental unkeyed BLAKE2b (RFC 7693) with a digest of any length from 1 to 64 bytes, as
/// b2sum -l writes them. libcrypto here computes only the 64-byte kind, which stays the faster
/// one for that length. Call init, then update any number of times, then finish; init again
/// starts the next message.
class Blake2b {
public:
    static constexpr std::size_t BLOCK_BYTES = 128;
    static constexpr std::size_t MAX_LENGTH = 64;

    /// Starts a message whose digest is length bytes. False, and nothing else may be called,
    /// when length is 0 or above MAX_LENGTH.
    bool init(std::size_t length);
    void update(const void* data, std::size_t length);
    /// The message's BLAKE2b digest of the length init was given.
    void finish(Digest& digest);

private:
    void compress(const std::uint8_t* block, std::size_t bytes, bool last);

    std::uint64_t state_[8] = {};
    std::uint64_t counter_[2] = {}; // bytes compressed so far, low word first
    std::uint8_t buffer_[BLOCK_BYTES] = {};
    std::size_t buffered_ = 0;
    std::size_t length_ = MAX_LENGTH;
};
