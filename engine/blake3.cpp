#include "engine/blake3.h"

#include <cstring>

#include "engine/blake3_chunks.h"
#include "engine/blake3_compress.h"

namespace {

// The chaining value of the parent of two subtrees: its block is their values side by side.
void parent(const std::uint32_t* left, const std::uint32_t* right, std::uint32_t flags,
            std::uint32_t* out) {
    std::uint8_t block[blake3::BLOCK];
    for (int i = 0; i < 8; ++i) {
        for (int b = 0; b < 4; ++b) {
            block[4 * i + b] = static_cast<std::uint8_t>(left[i] >> (8 * b));
            block[32 + 4 * i + b] = static_cast<std::uint8_t>(right[i] >> (8 * b));
        }
    }
    blake3::compress(blake3::IV, block, 0, blake3::BLOCK, blake3::PARENT | flags, out);
}

} // namespace

void Blake3::init() {
    std::memcpy(cv_, blake3::IV, sizeof cv_);
    chunk_ = 0;
    buffered_ = 0;
    blocksDone_ = 0;
    depth_ = 0;
}

void Blake3::compressBuffered() {
    std::uint32_t out[16];
    blake3::compress(cv_, buffer_, chunk_, BLOCK_BYTES, blocksDone_ == 0 ? blake3::CHUNK_START : 0,
                     out);
    std::memcpy(cv_, out, sizeof cv_);
    ++blocksDone_;
    buffered_ = 0;
}

// The chunk in progress is whole and more of the message follows it.
void Blake3::endChunk() {
    std::uint32_t out[16];
    blake3::compress(cv_, buffer_, chunk_, BLOCK_BYTES, blake3::CHUNK_END, out);
    addChunk(out, chunk_ + 1);
    std::memcpy(cv_, blake3::IV, sizeof cv_);
    ++chunk_;
    buffered_ = 0;
    blocksDone_ = 0;
}

void Blake3::addChunk(const std::uint32_t* cv, std::uint64_t chunks) {
    // Each trailing zero bit of the count closes a subtree: its left half is on the stack.
    std::uint32_t merged[16];
    std::memcpy(merged, cv, 8 * sizeof(std::uint32_t));
    while ((chunks & 1) == 0) {
        --depth_;
        parent(stack_[depth_], merged, 0, merged);
        chunks >>= 1;
    }
    std::memcpy(stack_[depth_], merged, sizeof stack_[0]);
    ++depth_;
}

void Blake3::update(const void* data, std::size_t length) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    while (length > 0) {
        if (chunkBytes() == CHUNK_BYTES) {
            endChunk();
        }
        // Whole chunks straight from the input, side by side; the last byte of what is given
        // always stays for the chunk in progress, since the message's last chunk is hashed
        // differently when it is the root.
        if (chunkBytes() == 0 && length > CHUNK_BYTES) {
            int width = 1;
            const Blake3ChunksFunction wide = blake3ActiveChunks(width);
            std::uint32_t cvs[BLAKE3_MAX_CHUNKS][8];
            while (length > CHUNK_BYTES * static_cast<std::size_t>(width)) {
                wide(bytes, chunk_, cvs);
                for (int i = 0; i < width; ++i) {
                    addChunk(cvs[i], chunk_ + static_cast<std::uint64_t>(i) + 1);
                }
                chunk_ += static_cast<std::uint64_t>(width);
                bytes += CHUNK_BYTES * static_cast<std::size_t>(width);
                length -= CHUNK_BYTES * static_cast<std::size_t>(width);
            }
            while (length > CHUNK_BYTES) {
                blake3ChunksPortable(bytes, chunk_, cvs);
                addChunk(cvs[0], chunk_ + 1);
                ++chunk_;
                bytes += CHUNK_BYTES;
                length -= CHUNK_BYTES;
            }
        }
        if (buffered_ == BLOCK_BYTES) {
            compressBuffered();
        }
        const std::size_t take =
            length < BLOCK_BYTES - buffered_ ? length : BLOCK_BYTES - buffered_;
        std::memcpy(buffer_ + buffered_, bytes, take);
        buffered_ += take;
        bytes += take;
        length -= take;
    }
}

void Blake3::finish(Digest& digest) {
    // 1. The last chunk's last block, zero-padded; it is the root when it is the only chunk.
    std::uint8_t block[BLOCK_BYTES] = {};
    std::memcpy(block, buffer_, buffered_);
    std::uint32_t flags = blake3::CHUNK_END | (blocksDone_ == 0 ? blake3::CHUNK_START : 0);
    std::uint32_t out[16];
    if (depth_ == 0) {
        blake3::compress(cv_, block, chunk_, static_cast<std::uint32_t>(buffered_),
                         flags | blake3::ROOT, out);
    } else {
        // 2. Otherwise merged with the subtrees on the stack, right to left; the last merge is
        // the root.
        blake3::compress(cv_, block, chunk_, static_cast<std::uint32_t>(buffered_), flags, out);
        for (int level = depth_ - 1; level >= 0; --level) {
            parent(stack_[level], out, level == 0 ? blake3::ROOT : 0, out);
        }
    }
    digest = Digest::of(Algorithm::Blake3);
    for (int i = 0; i < 8; ++i) {
        for (int b = 0; b < 4; ++b) {
            digest[4 * static_cast<std::size_t>(i) + static_cast<std::size_t>(b)] =
                static_cast<std::uint8_t>(out[i] >> (8 * b));
        }
    }
}
