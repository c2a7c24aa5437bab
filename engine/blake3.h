#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/digest.h"

/// Incremental BLAKE3 (hash mode, 32-byte digest), written from its specification. The message
/// is cut into 1 KiB chunks, the leaves of a binary tree; runs of whole chunks are hashed side
/// by side through the widest chunk path the CPU has (see blake3_chunks.h), and the tree is
/// merged here. Call init, then update any number of times, then finish; init again starts the
/// next message.
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

    std::size_t chunkBytes() const { return BLOCK_BYTES * blocksDone_ + buffered_; }
    void compressBuffered();
    void endChunk();
    /// Adds the chaining value of a chunk that is not the message's last, the chunks before it
    /// and itself making chunks in all, merging every subtree it completes.
    void addChunk(const std::uint32_t* cv, std::uint64_t chunks);

    std::uint32_t cv_[8] = {}; // of the chunk in progress
    std::uint64_t chunk_ = 0;  // its index
    std::uint8_t buffer_[BLOCK_BYTES] = {};
    std::size_t buffered_ = 0;
    std::size_t blocksDone_ = 0;
    std::uint32_t stack_[MAX_DEPTH][8] = {};
    int depth_ = 0;
};
