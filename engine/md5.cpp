#include "engine/md5.h"

#include <cstring>

#include "engine/md5_blocks.h"

namespace {

void storeLittleEndian(std::uint8_t* out, std::uint32_t value) {
    out[0] = static_cast<std::uint8_t>(value);
    out[1] = static_cast<std::uint8_t>(value >> 8);
    out[2] = static_cast<std::uint8_t>(value >> 16);
    out[3] = static_cast<std::uint8_t>(value >> 24);
}

} // namespace

void Md5Context::init() {
    state[0] = 0x67452301;
    state[1] = 0xefcdab89;
    state[2] = 0x98badcfe;
    state[3] = 0x10325476;
    bitCount[0] = 0;
    bitCount[1] = 0;
}

void Md5Context::update(const void* data, std::uint32_t length) {
    if (length == 0) {
        return; // nothing changes; data may then be null
    }
    const auto* in = static_cast<const std::uint8_t*>(data);
    const std::uint32_t pending = (bitCount[0] >> 3) & 63;

    const std::uint32_t oldLow = bitCount[0];
    bitCount[0] += length << 3;
    if (bitCount[0] < oldLow) {
        ++bitCount[1];
    }
    bitCount[1] += length >> 29;

    if (pending != 0) {
        const std::uint32_t room = 64 - pending;
        if (length < room) {
            std::memcpy(buffer + pending, in, length);
            return;
        }
        std::memcpy(buffer + pending, in, room);
        md5RunBlocks(state, buffer, 1);
        in += room;
        length -= room;
    }
    // Whole blocks are compressed straight from the caller's memory; copying them through
    // buffer first would give the same state at the cost of a copy per block.
    if (length >= 64) {
        md5RunBlocks(state, in, length / 64);
        in += length & ~std::uint32_t{63};
        length &= 63;
    }
    std::memcpy(buffer, in, length);
}

void Md5Context::finish(Digest& digest) {
    const std::uint32_t pending = (bitCount[0] >> 3) & 63;
    buffer[pending] = 0x80;
    const std::uint32_t after = 63 - pending;
    if (after < 8) {
        // No room for the length: pad this block out and put the length in one more.
        std::memset(buffer + pending + 1, 0, after);
        md5RunBlocks(state, buffer, 1);
        std::memset(buffer, 0, 56);
    } else {
        std::memset(buffer + pending + 1, 0, after - 8);
    }
    storeLittleEndian(buffer + 56, bitCount[0]);
    storeLittleEndian(buffer + 60, bitCount[1]);
    md5RunBlocks(state, buffer, 1);

    digest.algorithm = Algorithm::Md5;
    digest.length = 16;
    for (int i = 0; i < 4; ++i) {
        storeLittleEndian(digest.data() + 4 * i, state[i]);
    }
    std::memset(static_cast<void*>(this), 0, sizeof(*this));
#if defined(__GNUC__)
    // The context often dies right here; keep the wipe from being dropped as a dead store.
    asm volatile("" : : "r"(this) : "memory");
#endif
}
