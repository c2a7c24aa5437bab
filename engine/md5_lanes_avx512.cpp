#include "engine/md5_lanes.h"

// Built with -mavx512f on x86; everywhere else this file only says that it has no code. Each
// state word of 16 messages fills one 512-bit register; vpternlogd computes any of the four round
// functions in one instruction and vprold rotates in one.

#if defined(__AVX512F__)

// GCC 12 sees the deliberately undefined inputs inside its own AVX-512 intrinsics (the unused
// operand of a masked form) as uninitialised when they are inlined here (GCC bug 105593).
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include <immintrin.h>

#include "engine/md5_lane_rounds.h"

namespace {

using u32 = std::uint32_t;

// Truth tables for vpternlogd with the operands (b, c, d).
constexpr int B = 0xf0;
constexpr int C = 0xcc;
constexpr int D = 0xaa;
constexpr int TABLES[4] = {((B & C) | (~B & D)) & 0xff, ((B & D) | (C & ~D)) & 0xff,
                           (B ^ C ^ D) & 0xff, (C ^ (B | ~D)) & 0xff};

struct Avx512Lanes {
    using Vec = __m512i;

    [[gnu::always_inline]] static Vec add(Vec x, Vec y) { return _mm512_add_epi32(x, y); }
    [[gnu::always_inline]] static Vec addConstant(Vec x, u32 k) {
        return _mm512_add_epi32(x, _mm512_set1_epi32(static_cast<int>(k)));
    }
    template <int Round> [[gnu::always_inline]] static Vec mix(Vec b, Vec c, Vec d) {
        constexpr int table = TABLES[Round]; // an immediate even where nothing is optimised
        return _mm512_ternarylogic_epi32(b, c, d, table);
    }
    template <int S> [[gnu::always_inline]] static Vec rotl(Vec x) {
        return _mm512_rol_epi32(x, S);
    }
    [[gnu::always_inline]] static Vec early(Vec x) {
        asm("" : "+v"(x));
        return x;
    }
};

// Turns 16 rows of 16 words (one block of each lane) into 16 vectors of one word of every lane:
// word j of lane i ends in element i of w[j].
[[gnu::always_inline]] inline void transpose(const __m512i (&row)[16], __m512i (&w)[16]) {
    // Pairs of rows interleaved word by word, then pairs of those by two words: u[4g + e] holds,
    // in each 128-bit quarter q, word 4q + e of rows 4g .. 4g + 3.
    __m512i t[16];
    for (int i = 0; i < 16; i += 2) {
        t[i] = _mm512_unpacklo_epi32(row[i], row[i + 1]);
        t[i + 1] = _mm512_unpackhi_epi32(row[i], row[i + 1]);
    }
    __m512i u[16];
    for (int g = 0; g < 4; ++g) {
        u[4 * g + 0] = _mm512_unpacklo_epi64(t[4 * g], t[4 * g + 2]);
        u[4 * g + 1] = _mm512_unpackhi_epi64(t[4 * g], t[4 * g + 2]);
        u[4 * g + 2] = _mm512_unpacklo_epi64(t[4 * g + 1], t[4 * g + 3]);
        u[4 * g + 3] = _mm512_unpackhi_epi64(t[4 * g + 1], t[4 * g + 3]);
    }
    // Then whole quarters: quarter g of w[4q + e] is quarter q of u[4g + e].
    for (int e = 0; e < 4; ++e) {
        const __m512i x0 = _mm512_shuffle_i32x4(u[e], u[4 + e], 0x44);
        const __m512i x1 = _mm512_shuffle_i32x4(u[e], u[4 + e], 0xee);
        const __m512i y0 = _mm512_shuffle_i32x4(u[8 + e], u[12 + e], 0x44);
        const __m512i y1 = _mm512_shuffle_i32x4(u[8 + e], u[12 + e], 0xee);
        w[e] = _mm512_shuffle_i32x4(x0, y0, 0x88);
        w[4 + e] = _mm512_shuffle_i32x4(x0, y0, 0xdd);
        w[8 + e] = _mm512_shuffle_i32x4(x1, y1, 0x88);
        w[12 + e] = _mm512_shuffle_i32x4(x1, y1, 0xdd);
    }
}

void lanesAvx512(Md5LaneState& state, const std::uint8_t* const* data, std::size_t count) {
    __m512i a = _mm512_load_si512(state.words[0]);
    __m512i b = _mm512_load_si512(state.words[1]);
    __m512i c = _mm512_load_si512(state.words[2]);
    __m512i d = _mm512_load_si512(state.words[3]);
    for (std::size_t block = 0; block < count; ++block) {
        __m512i row[16];
        for (int i = 0; i < 16; ++i) {
            row[i] = _mm512_loadu_si512(data[i] + 64 * block);
        }
        __m512i w[16];
        transpose(row, w);
        md5_lanes_detail::compressBlock<Avx512Lanes>(a, b, c, d, w);
    }
    _mm512_store_si512(state.words[0], a);
    _mm512_store_si512(state.words[1], b);
    _mm512_store_si512(state.words[2], c);
    _mm512_store_si512(state.words[3], d);
}

} // namespace

Md5LaneFunction md5LanesAvx512() {
    return lanesAvx512;
}

#else

Md5LaneFunction md5LanesAvx512() {
    return nullptr;
}

#endif
