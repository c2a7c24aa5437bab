#include "engine/md5_blocks.h"

// Built with -mavx512f -mavx512vl on x86; everywhere else this file only says that it has no
// code. Each state word lives in lane 0 of its own vector register: vpternlogd computes any of
// the four round functions in one instruction and vprold rotates in one, so b passes through a
// single operation before it meets the rest of the sum.

#if defined(__AVX512F__) && defined(__AVX512VL__)

#include <cstring>
#include <immintrin.h>

namespace {

using u32 = std::uint32_t;

// Truth tables for vpternlogd with the operands (b, c, d).
constexpr int B = 0xf0;
constexpr int C = 0xcc;
constexpr int D = 0xaa;
constexpr int TABLE_F = ((B & C) | (~B & D)) & 0xff;
constexpr int TABLE_G = ((B & D) | (C & ~D)) & 0xff;
constexpr int TABLE_H = (B ^ C ^ D) & 0xff;
constexpr int TABLE_I = (C ^ (B | ~D)) & 0xff;

// Message word plus step constant, in lane 0.
[[gnu::always_inline]] inline __m128i wordPlus(const std::uint8_t* block, int index, u32 k) {
    u32 w;
    std::memcpy(&w, block + 4 * index, 4);
    return _mm_cvtsi32_si128(static_cast<int>(w + k));
}

// Pins a vector sum so that the compiler keeps the terms that need b at the end of the chain.
[[gnu::always_inline]] inline __m128i early(__m128i v) {
    asm("" : "+v"(v));
    return v;
}

template <int Table, int S>
[[gnu::always_inline]] inline void step(__m128i& a, __m128i b, __m128i c, __m128i d, __m128i mk) {
    __m128i t = early(_mm_add_epi32(a, mk));
    t = _mm_add_epi32(t, _mm_ternarylogic_epi32(b, c, d, Table));
    a = _mm_add_epi32(b, _mm_rol_epi32(t, S));
}

void blocksAvx512(u32* state, const std::uint8_t* blocks, std::size_t count) {
    __m128i a = _mm_cvtsi32_si128(static_cast<int>(state[0]));
    __m128i b = _mm_cvtsi32_si128(static_cast<int>(state[1]));
    __m128i c = _mm_cvtsi32_si128(static_cast<int>(state[2]));
    __m128i d = _mm_cvtsi32_si128(static_cast<int>(state[3]));
    for (const std::uint8_t* x = blocks; count != 0; --count, x += 64) {
        const __m128i a0 = a;
        const __m128i b0 = b;
        const __m128i c0 = c;
        const __m128i d0 = d;

        step<TABLE_F, 7>(a, b, c, d, wordPlus(x, 0, 0xd76aa478));
        step<TABLE_F, 12>(d, a, b, c, wordPlus(x, 1, 0xe8c7b756));
        step<TABLE_F, 17>(c, d, a, b, wordPlus(x, 2, 0x242070db));
        step<TABLE_F, 22>(b, c, d, a, wordPlus(x, 3, 0xc1bdceee));
        step<TABLE_F, 7>(a, b, c, d, wordPlus(x, 4, 0xf57c0faf));
        step<TABLE_F, 12>(d, a, b, c, wordPlus(x, 5, 0x4787c62a));
        step<TABLE_F, 17>(c, d, a, b, wordPlus(x, 6, 0xa8304613));
        step<TABLE_F, 22>(b, c, d, a, wordPlus(x, 7, 0xfd469501));
        step<TABLE_F, 7>(a, b, c, d, wordPlus(x, 8, 0x698098d8));
        step<TABLE_F, 12>(d, a, b, c, wordPlus(x, 9, 0x8b44f7af));
        step<TABLE_F, 17>(c, d, a, b, wordPlus(x, 10, 0xffff5bb1));
        step<TABLE_F, 22>(b, c, d, a, wordPlus(x, 11, 0x895cd7be));
        step<TABLE_F, 7>(a, b, c, d, wordPlus(x, 12, 0x6b901122));
        step<TABLE_F, 12>(d, a, b, c, wordPlus(x, 13, 0xfd987193));
        step<TABLE_F, 17>(c, d, a, b, wordPlus(x, 14, 0xa679438e));
        step<TABLE_F, 22>(b, c, d, a, wordPlus(x, 15, 0x49b40821));

        step<TABLE_G, 5>(a, b, c, d, wordPlus(x, 1, 0xf61e2562));
        step<TABLE_G, 9>(d, a, b, c, wordPlus(x, 6, 0xc040b340));
        step<TABLE_G, 14>(c, d, a, b, wordPlus(x, 11, 0x265e5a51));
        step<TABLE_G, 20>(b, c, d, a, wordPlus(x, 0, 0xe9b6c7aa));
        step<TABLE_G, 5>(a, b, c, d, wordPlus(x, 5, 0xd62f105d));
        step<TABLE_G, 9>(d, a, b, c, wordPlus(x, 10, 0x02441453));
        step<TABLE_G, 14>(c, d, a, b, wordPlus(x, 15, 0xd8a1e681));
        step<TABLE_G, 20>(b, c, d, a, wordPlus(x, 4, 0xe7d3fbc8));
        step<TABLE_G, 5>(a, b, c, d, wordPlus(x, 9, 0x21e1cde6));
        step<TABLE_G, 9>(d, a, b, c, wordPlus(x, 14, 0xc33707d6));
        step<TABLE_G, 14>(c, d, a, b, wordPlus(x, 3, 0xf4d50d87));
        step<TABLE_G, 20>(b, c, d, a, wordPlus(x, 8, 0x455a14ed));
        step<TABLE_G, 5>(a, b, c, d, wordPlus(x, 13, 0xa9e3e905));
        step<TABLE_G, 9>(d, a, b, c, wordPlus(x, 2, 0xfcefa3f8));
        step<TABLE_G, 14>(c, d, a, b, wordPlus(x, 7, 0x676f02d9));
        step<TABLE_G, 20>(b, c, d, a, wordPlus(x, 12, 0x8d2a4c8a));

        step<TABLE_H, 4>(a, b, c, d, wordPlus(x, 5, 0xfffa3942));
        step<TABLE_H, 11>(d, a, b, c, wordPlus(x, 8, 0x8771f681));
        step<TABLE_H, 16>(c, d, a, b, wordPlus(x, 11, 0x6d9d6122));
        step<TABLE_H, 23>(b, c, d, a, wordPlus(x, 14, 0xfde5380c));
        step<TABLE_H, 4>(a, b, c, d, wordPlus(x, 1, 0xa4beea44));
        step<TABLE_H, 11>(d, a, b, c, wordPlus(x, 4, 0x4bdecfa9));
        step<TABLE_H, 16>(c, d, a, b, wordPlus(x, 7, 0xf6bb4b60));
        step<TABLE_H, 23>(b, c, d, a, wordPlus(x, 10, 0xbebfbc70));
        step<TABLE_H, 4>(a, b, c, d, wordPlus(x, 13, 0x289b7ec6));
        step<TABLE_H, 11>(d, a, b, c, wordPlus(x, 0, 0xeaa127fa));
        step<TABLE_H, 16>(c, d, a, b, wordPlus(x, 3, 0xd4ef3085));
        step<TABLE_H, 23>(b, c, d, a, wordPlus(x, 6, 0x04881d05));
        step<TABLE_H, 4>(a, b, c, d, wordPlus(x, 9, 0xd9d4d039));
        step<TABLE_H, 11>(d, a, b, c, wordPlus(x, 12, 0xe6db99e5));
        step<TABLE_H, 16>(c, d, a, b, wordPlus(x, 15, 0x1fa27cf8));
        step<TABLE_H, 23>(b, c, d, a, wordPlus(x, 2, 0xc4ac5665));

        step<TABLE_I, 6>(a, b, c, d, wordPlus(x, 0, 0xf4292244));
        step<TABLE_I, 10>(d, a, b, c, wordPlus(x, 7, 0x432aff97));
        step<TABLE_I, 15>(c, d, a, b, wordPlus(x, 14, 0xab9423a7));
        step<TABLE_I, 21>(b, c, d, a, wordPlus(x, 5, 0xfc93a039));
        step<TABLE_I, 6>(a, b, c, d, wordPlus(x, 12, 0x655b59c3));
        step<TABLE_I, 10>(d, a, b, c, wordPlus(x, 3, 0x8f0ccc92));
        step<TABLE_I, 15>(c, d, a, b, wordPlus(x, 10, 0xffeff47d));
        step<TABLE_I, 21>(b, c, d, a, wordPlus(x, 1, 0x85845dd1));
        step<TABLE_I, 6>(a, b, c, d, wordPlus(x, 8, 0x6fa87e4f));
        step<TABLE_I, 10>(d, a, b, c, wordPlus(x, 15, 0xfe2ce6e0));
        step<TABLE_I, 15>(c, d, a, b, wordPlus(x, 6, 0xa3014314));
        step<TABLE_I, 21>(b, c, d, a, wordPlus(x, 13, 0x4e0811a1));
        step<TABLE_I, 6>(a, b, c, d, wordPlus(x, 4, 0xf7537e82));
        step<TABLE_I, 10>(d, a, b, c, wordPlus(x, 11, 0xbd3af235));
        step<TABLE_I, 15>(c, d, a, b, wordPlus(x, 2, 0x2ad7d2bb));
        step<TABLE_I, 21>(b, c, d, a, wordPlus(x, 9, 0xeb86d391));

        a = _mm_add_epi32(a, a0);
        b = _mm_add_epi32(b, b0);
        c = _mm_add_epi32(c, c0);
        d = _mm_add_epi32(d, d0);
    }
    state[0] = static_cast<u32>(_mm_cvtsi128_si32(a));
    state[1] = static_cast<u32>(_mm_cvtsi128_si32(b));
    state[2] = static_cast<u32>(_mm_cvtsi128_si32(c));
    state[3] = static_cast<u32>(_mm_cvtsi128_si32(d));
}

} // namespace

Md5BlockFunction md5Avx512Blocks() {
    return blocksAvx512;
}

#else

Md5BlockFunction md5Avx512Blocks() {
    return nullptr;
}

#endif
