#include "engine/md5_blocks.h"

#include <bit>
#include <cstring>

// MD5 is one long dependency chain through b, the word computed by the step before. Each step
// below sums everything that does not need b first (the oldest word, the message word, the
// constant and, where the round function allows, the half of it that ignores b), so that b passes
// through as few operations as possible before the rotate.

namespace {

using u32 = std::uint32_t;

[[gnu::always_inline]] inline u32 word(const std::uint8_t* block, int index) {
    u32 w;
    std::memcpy(&w, block + 4 * index, 4);
    if constexpr (std::endian::native == std::endian::big) {
        w = __builtin_bswap32(w);
    }
    return w;
}

// Pins an intermediate sum so that the compiler cannot re-associate a late term (one that needs
// b) into the front of the chain of additions.
[[gnu::always_inline]] inline u32 early(u32 v) {
#if defined(__GNUC__)
    asm("" : "+r"(v));
#endif
    return v;
}

// F = (b & c) | (~b & d), as d ^ (b & (c ^ d)): b meets two operations.
[[gnu::always_inline]] inline void stepF(u32& a, u32 b, u32 c, u32 d, u32 mk, int s) {
    u32 t = early(a + mk);
    t += d ^ (b & (c ^ d));
    a = b + std::rotl(t, s);
}

// G = (b & d) | (c & ~d); the halves share no bits, so they can be added, c & ~d ahead of b.
[[gnu::always_inline]] inline void stepG(u32& a, u32 b, u32 c, u32 d, u32 mk, int s) {
    u32 t = early(a + mk + (c & ~d));
    t += b & d;
    a = b + std::rotl(t, s);
}

// H = b ^ c ^ d with c ^ d ahead of b.
[[gnu::always_inline]] inline void stepH(u32& a, u32 b, u32 c, u32 d, u32 mk, int s) {
    u32 t = early(a + mk);
    t += b ^ early(c ^ d);
    a = b + std::rotl(t, s);
}

// I = c ^ (b | ~d) with ~d ahead of b.
[[gnu::always_inline]] inline void stepI(u32& a, u32 b, u32 c, u32 d, u32 mk, int s) {
    u32 t = early(a + mk);
    t += c ^ (b | early(~d));
    a = b + std::rotl(t, s);
}

} // namespace

void md5BlocksPortable(u32* state, const std::uint8_t* blocks, std::size_t count) {
    u32 a = state[0];
    u32 b = state[1];
    u32 c = state[2];
    u32 d = state[3];
    for (const std::uint8_t* x = blocks; count != 0; --count, x += 64) {
        const u32 a0 = a;
        const u32 b0 = b;
        const u32 c0 = c;
        const u32 d0 = d;

        stepF(a, b, c, d, word(x, 0) + 0xd76aa478, 7);
        stepF(d, a, b, c, word(x, 1) + 0xe8c7b756, 12);
        stepF(c, d, a, b, word(x, 2) + 0x242070db, 17);
        stepF(b, c, d, a, word(x, 3) + 0xc1bdceee, 22);
        stepF(a, b, c, d, word(x, 4) + 0xf57c0faf, 7);
        stepF(d, a, b, c, word(x, 5) + 0x4787c62a, 12);
        stepF(c, d, a, b, word(x, 6) + 0xa8304613, 17);
        stepF(b, c, d, a, word(x, 7) + 0xfd469501, 22);
        stepF(a, b, c, d, word(x, 8) + 0x698098d8, 7);
        stepF(d, a, b, c, word(x, 9) + 0x8b44f7af, 12);
        stepF(c, d, a, b, word(x, 10) + 0xffff5bb1, 17);
        stepF(b, c, d, a, word(x, 11) + 0x895cd7be, 22);
        stepF(a, b, c, d, word(x, 12) + 0x6b901122, 7);
        stepF(d, a, b, c, word(x, 13) + 0xfd987193, 12);
        stepF(c, d, a, b, word(x, 14) + 0xa679438e, 17);
        stepF(b, c, d, a, word(x, 15) + 0x49b40821, 22);

        stepG(a, b, c, d, word(x, 1) + 0xf61e2562, 5);
        stepG(d, a, b, c, word(x, 6) + 0xc040b340, 9);
        stepG(c, d, a, b, word(x, 11) + 0x265e5a51, 14);
        stepG(b, c, d, a, word(x, 0) + 0xe9b6c7aa, 20);
        stepG(a, b, c, d, word(x, 5) + 0xd62f105d, 5);
        stepG(d, a, b, c, word(x, 10) + 0x02441453, 9);
        stepG(c, d, a, b, word(x, 15) + 0xd8a1e681, 14);
        stepG(b, c, d, a, word(x, 4) + 0xe7d3fbc8, 20);
        stepG(a, b, c, d, word(x, 9) + 0x21e1cde6, 5);
        stepG(d, a, b, c, word(x, 14) + 0xc33707d6, 9);
        stepG(c, d, a, b, word(x, 3) + 0xf4d50d87, 14);
        stepG(b, c, d, a, word(x, 8) + 0x455a14ed, 20);
        stepG(a, b, c, d, word(x, 13) + 0xa9e3e905, 5);
        stepG(d, a, b, c, word(x, 2) + 0xfcefa3f8, 9);
        stepG(c, d, a, b, word(x, 7) + 0x676f02d9, 14);
        stepG(b, c, d, a, word(x, 12) + 0x8d2a4c8a, 20);

        stepH(a, b, c, d, word(x, 5) + 0xfffa3942, 4);
        stepH(d, a, b, c, word(x, 8) + 0x8771f681, 11);
        stepH(c, d, a, b, word(x, 11) + 0x6d9d6122, 16);
        stepH(b, c, d, a, word(x, 14) + 0xfde5380c, 23);
        stepH(a, b, c, d, word(x, 1) + 0xa4beea44, 4);
        stepH(d, a, b, c, word(x, 4) + 0x4bdecfa9, 11);
        stepH(c, d, a, b, word(x, 7) + 0xf6bb4b60, 16);
        stepH(b, c, d, a, word(x, 10) + 0xbebfbc70, 23);
        stepH(a, b, c, d, word(x, 13) + 0x289b7ec6, 4);
        stepH(d, a, b, c, word(x, 0) + 0xeaa127fa, 11);
        stepH(c, d, a, b, word(x, 3) + 0xd4ef3085, 16);
        stepH(b, c, d, a, word(x, 6) + 0x04881d05, 23);
        stepH(a, b, c, d, word(x, 9) + 0xd9d4d039, 4);
        stepH(d, a, b, c, word(x, 12) + 0xe6db99e5, 11);
        stepH(c, d, a, b, word(x, 15) + 0x1fa27cf8, 16);
        stepH(b, c, d, a, word(x, 2) + 0xc4ac5665, 23);

        stepI(a, b, c, d, word(x, 0) + 0xf4292244, 6);
        stepI(d, a, b, c, word(x, 7) + 0x432aff97, 10);
        stepI(c, d, a, b, word(x, 14) + 0xab9423a7, 15);
        stepI(b, c, d, a, word(x, 5) + 0xfc93a039, 21);
        stepI(a, b, c, d, word(x, 12) + 0x655b59c3, 6);
        stepI(d, a, b, c, word(x, 3) + 0x8f0ccc92, 10);
        stepI(c, d, a, b, word(x, 10) + 0xffeff47d, 15);
        stepI(b, c, d, a, word(x, 1) + 0x85845dd1, 21);
        stepI(a, b, c, d, word(x, 8) + 0x6fa87e4f, 6);
        stepI(d, a, b, c, word(x, 15) + 0xfe2ce6e0, 10);
        stepI(c, d, a, b, word(x, 6) + 0xa3014314, 15);
        stepI(b, c, d, a, word(x, 13) + 0x4e0811a1, 21);
        stepI(a, b, c, d, word(x, 4) + 0xf7537e82, 6);
        stepI(d, a, b, c, word(x, 11) + 0xbd3af235, 10);
        stepI(c, d, a, b, word(x, 2) + 0x2ad7d2bb, 15);
        stepI(b, c, d, a, word(x, 9) + 0xeb86d391, 21);

        a += a0;
        b += b0;
        c += c0;
        d += d0;
    }
    state[0] = a;
    state[1] = b;
    state[2] = c;
    state[3] = d;
}
