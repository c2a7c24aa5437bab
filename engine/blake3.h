#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/blake3_chunks.h"
#include "engine/digest.h"

/// Incremental BLAKE3 (hash mode, 32-byte digest), written from its published definition. The
/// message is cut into 1 KiB chunks, the leaves of a binary tree. Whole chunks are hashed side by
/// side through the widest path the CPU has (see blake3_chunks.h), straight from the input where it
/// holds a lane's worth; runs of them become whole subtrees, their parents hashed side by side
/// too, and the subtrees are merged here. Call init, then update any number of times, then
/// finish; init again starts the next message.
class Blake3 {
public:
    static constexpr std::size_t BLOCK_BYTES = 64;
    static constexpr std::size_t CHUNK_BYTES = 1024;

    void init();
    void update(const void* data, std::size_t length);
    void finish(Digest& digest);

private:
    // Chunks, and so tree levels, are counted in 64 bits: 54 levels cover 2^64 bytes.
    static constexpr int MAX_DEPTH = 54;
    static constexpr std::size_t BUFFER_BYTES = BLAKE3_MAX_LANES * CHUNK_BYTES;
    static constexpr std::size_t MOST_CHUNKS = 128; // hashed before their subtrees are merged

    /// Hashes count whole chunks from bytes, the next of the message, none of them its last.
    /// readable: how many chunks' worth of bytes may be read there (at least count); where a
    /// lane's worth can be read, fewer chunks than lanes still take the vector path.
    void hashChunks(const std::uint8_t* bytes, std::size_t count, std::size_t readable);
    /// Merges nodes_[first, first + count), the values of a subtree's leaves (count a power of
    /// two), into nodes_[first].
    void mergeSubtree(std::size_t first, std::size_t count);
    /// Adds the chaining value of a subtree of 2^level chunks that does not end the message,
    /// the chunks before it and its own making chunks in all, merging every subtree it
    /// completes.
    void addSubtree(const std::uint32_t* cv, std::uint64_t chunks, int level);

    const Blake3Lanes* lanes_ = nullptr;
    std::uint64_t chunk_ = 0; // the index of the next chunk to hash
    // Bytes of the message after the chunks hashed, at most a lane's worth: the chunk that may
    // be the message's last is hashed only once the message goes on or ends.
    std::uint8_t buffer_[BUFFER_BYTES] = {};
    std::size_t buffered_ = 0;
    std::uint32_t stack_[MAX_DEPTH][8] = {};
    int depth_ = 0;
    std::uint32_t nodes_[MOST_CHUNKS][8] = {};
};
