#include "engine/blake3.h"

#include <cstring>

#include "engine/blake3_compress.h"

void Blake3::init() {
    lanes_ = &blake3ActiveLanes();
    chunk_ = 0;
    buffered_ = 0;
    depth_ = 0;
}

void Blake3::update(const void* data, std::size_t length) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    if (length == 0) {
        return;
    }
    // 1. A buffer that fills up and is followed by more of the message is hashed whole.
    if (buffered_ > 0) {
        const std::size_t take =
            length < BUFFER_BYTES - buffered_ ? length : BUFFER_BYTES - buffered_;
        std::memcpy(buffer_ + buffered_, bytes, take);
        buffered_ += take;
        bytes += take;
        length -= take;
        if (length == 0) {
            return;
        }
        hashChunks(buffer_, BUFFER_BYTES / CHUNK_BYTES, BUFFER_BYTES / CHUNK_BYTES);
        buffered_ = 0;
    }
    // 2. Lanes' worths of whole chunks straight from the input, always leaving a byte, since
    //    the message's last chunk is hashed differently; the rest waits in the buffer.
    const auto width = static_cast<std::size_t>(lanes_->width);
    std::size_t whole = (length - 1) / CHUNK_BYTES;
    whole -= whole % width;
    hashChunks(bytes, whole, whole);
    bytes += CHUNK_BYTES * whole;
    length -= CHUNK_BYTES * whole;
    std::memcpy(buffer_, bytes, length);
    buffered_ = length;
}

void Blake3::hashChunks(const std::uint8_t* bytes, std::size_t count, std::size_t readable) {
    const auto width = static_cast<std::size_t>(lanes_->width);
    while (count > 0) {
        const std::size_t run = count < MOST_CHUNKS ? count : MOST_CHUNKS;
        // 1. The chunks, a lane's worth at a time. Two or more left over go through the lanes
        //    too where a lane's worth of bytes can be read (the spare lanes' values are never
        //    read); one costs less on its own.
        std::size_t done = 0;
        for (; done + width <= run; done += width) {
            lanes_->chunks(bytes + CHUNK_BYTES * done, chunk_ + done, nodes_ + done);
        }
        if (run - done >= 2 && done + width <= readable && done + width <= MOST_CHUNKS) {
            lanes_->chunks(bytes + CHUNK_BYTES * done, chunk_ + done, nodes_ + done);
            done = run;
        }
        for (; done < run; ++done) {
            BLAKE3_PORTABLE_LANES.chunks(bytes + CHUNK_BYTES * done, chunk_ + done, nodes_ + done);
        }
        // 2. Cut into the subtrees of the message's tree: each as many chunks as a power of
        //    two that divides the index of its first.
        for (std::size_t first = 0; first < run;) {
            std::size_t size = 1;
            int level = 0;
            while (2 * size <= run - first && (chunk_ + first) % (2 * size) == 0) {
                size *= 2;
                ++level;
            }
            mergeSubtree(first, size);
            addSubtree(nodes_[first], chunk_ + first + size, level);
            first += size;
        }
        chunk_ += run;
        bytes += CHUNK_BYTES * run;
        count -= run;
        readable -= run;
    }
}

void Blake3::mergeSubtree(std::size_t first, std::size_t count) {
    const auto width = static_cast<std::size_t>(lanes_->width);
    for (; count > 1; count /= 2) {
        const std::size_t parents = count / 2;
        std::uint32_t(*level)[8] = nodes_ + first;
        if (parents >= width) {
            for (std::size_t i = 0; i < parents; i += width) {
                lanes_->parents(level + 2 * i, level + i);
            }
        } else {
            // Fewer parents than lanes: the spare lanes hash zeros here, so that they read and
            // write nothing of the other subtrees.
            std::uint32_t children[2 * BLAKE3_MAX_LANES][8] = {};
            std::memcpy(children, level, 2 * parents * sizeof children[0]);
            lanes_->parents(children, children);
            std::memcpy(level, children, parents * sizeof children[0]);
        }
    }
}

void Blake3::addSubtree(const std::uint32_t* cv, std::uint64_t chunks, int level) {
    // Each trailing zero bit of the count, above the subtree's own, closes a subtree: its left
    // half is on the stack.
    std::uint32_t merged[16];
    std::memcpy(merged, cv, 8 * sizeof(std::uint32_t));
    chunks >>= level;
    while ((chunks & 1) == 0) {
        --depth_;
        blake3::parent(stack_[depth_], merged, 0, merged);
        chunks >>= 1;
    }
    std::memcpy(stack_[depth_], merged, sizeof stack_[0]);
    ++depth_;
}

void Blake3::finish(Digest& digest) {
    // 1. The chunks before the last.
    const std::size_t before = buffered_ == 0 ? 0 : (buffered_ - 1) / CHUNK_BYTES;
    hashChunks(buffer_, before, BUFFER_BYTES / CHUNK_BYTES);
    // 2. The last chunk, block by block, its last block zero-padded; it is the root when it is
    //    the only chunk.
    const std::uint8_t* last = buffer_ + CHUNK_BYTES * before;
    const std::size_t length = buffered_ - CHUNK_BYTES * before;
    const std::size_t blocks = length == 0 ? 1 : (length + BLOCK_BYTES - 1) / BLOCK_BYTES;
    std::uint32_t out[16];
    std::memcpy(out, blake3::IV, sizeof blake3::IV);
    for (std::size_t b = 0; b < blocks; ++b) {
        std::uint8_t block[BLOCK_BYTES] = {};
        const std::size_t bytes = b + 1 < blocks ? BLOCK_BYTES : length - BLOCK_BYTES * b;
        std::memcpy(block, last + BLOCK_BYTES * b, bytes);
        std::uint32_t flags = b == 0 ? blake3::CHUNK_START : 0;
        if (b + 1 == blocks) {
            flags |= blake3::CHUNK_END | (depth_ == 0 ? blake3::ROOT : 0);
        }
        blake3::compress(out, block, chunk_, static_cast<std::uint32_t>(bytes), flags, out);
    }
    // 3. Merged with the subtrees on the stack, right to left; the last merge is the root.
    for (int level = depth_ - 1; level >= 0; --level) {
        blake3::parent(stack_[level], out, level == 0 ? blake3::ROOT : 0, out);
    }
    digest = Digest::of(Algorithm::Blake3);
    for (std::size_t i = 0; i < 8; ++i) {
        for (std::size_t b = 0; b < 4; ++b) {
            digest[4 * i + b] = static_cast<std::uint8_t>(out[i] >> (8 * b));
        }
    }
}
