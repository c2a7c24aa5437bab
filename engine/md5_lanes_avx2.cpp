#include "engine/md5_lanes.h"

// Built with -mavx2 on x86; everywhere else this file only says that it has no code. Each state
// word of 8 messages fills one 256-bit register. AVX2 has neither a three-input logic operation
// nor a vector rotate, so the round functions take two or three operations and a rotate three.

#if defined(__AVX2__)

#include <immintrin.h>

#include "engine/md5_lane_rounds.h"

namespace {

using u32 = std::uint32_t;

struct Avx2Lanes {
    using Vec = __m256i;

    [[gnu::always_inline]] static Vec add(Vec x, Vec y) { return _mm256_add_epi32(x, y); }
    [[gnu::always_inline]] static Vec addConstant(Vec x, u32 k) {
        return _mm256_add_epi32(x, _mm256_set1_epi32(static_cast<int>(k)));
    }
    template <int Round> [[gnu::always_inline]] static Vec mix(Vec b, Vec c, Vec d) {
        if constexpr (Round == 0) {
            return _mm256_xor_si256(d, _mm256_and_si256(b, _mm256_xor_si256(c, d)));
        } else if constexpr (Round == 1) {
            return _mm256_or_si256(_mm256_and_si256(b, d), _mm256_andnot_si256(d, c));
        } else if constexpr (Round == 2) {
            return _mm256_xor_si256(b, _mm256_xor_si256(c, d));
        } else {
            const __m256i notD = _mm256_xor_si256(d, _mm256_set1_epi32(-1));
            return _mm256_xor_si256(c, _mm256_or_si256(b, notD));
        }
    }
    template <int S> [[gnu::always_inline]] static Vec rotl(Vec x) {
        return _mm256_or_si256(_mm256_slli_epi32(x, S), _mm256_srli_epi32(x, 32 - S));
    }
    [[gnu::always_inline]] static Vec early(Vec x) {
        asm("" : "+x"(x));
        return x;
    }
};

// Turns 8 rows of 8 words into 8 vectors of one word of every row: word j of row i ends in
// element i of w[j].
[[gnu::always_inline]] inline void transpose(const __m256i (&row)[8], __m256i* w) {
    __m256i t[8];
    for (int i = 0; i < 8; i += 2) {
        t[i] = _mm256_unpacklo_epi32(row[i], row[i + 1]);
        t[i + 1] = _mm256_unpackhi_epi32(row[i], row[i + 1]);
    }
    // u[4g + e] holds, in each 128-bit half q, word 4q + e of rows 4g .. 4g + 3.
    __m256i u[8];
    for (int g = 0; g < 2; ++g) {
        u[4 * g + 0] = _mm256_unpacklo_epi64(t[4 * g], t[4 * g + 2]);
        u[4 * g + 1] = _mm256_unpackhi_epi64(t[4 * g], t[4 * g + 2]);
        u[4 * g + 2] = _mm256_unpacklo_epi64(t[4 * g + 1], t[4 * g + 3]);
        u[4 * g + 3] = _mm256_unpackhi_epi64(t[4 * g + 1], t[4 * g + 3]);
    }
    for (int e = 0; e < 4; ++e) {
        w[e] = _mm256_permute2x128_si256(u[e], u[4 + e], 0x20);
        w[4 + e] = _mm256_permute2x128_si256(u[e], u[4 + e], 0x31);
    }
}

void lanesAvx2(Md5LaneState& state, const std::uint8_t* const* data, std::size_t count) {
    auto load = [](const std::uint32_t* p) {
        return _mm256_load_si256(reinterpret_cast<const __m256i*>(p));
    };
    __m256i a = load(state.words[0]);
    __m256i b = load(state.words[1]);
    __m256i c = load(state.words[2]);
    __m256i d = load(state.words[3]);
    for (std::size_t block = 0; block < count; ++block) {
        __m256i w[16];
        for (int half = 0; half < 2; ++half) {
            __m256i row[8];
            for (int i = 0; i < 8; ++i) {
                row[i] = _mm256_loadu_si256(
                    reinterpret_cast<const __m256i*>(data[i] + 64 * block + 32 * half));
            }
            transpose(row, w + 8 * half);
        }
        md5_lanes_detail::compressBlock<Avx2Lanes>(a, b, c, d, w);
    }
    auto store = [](std::uint32_t* p, __m256i v) {
        _mm256_store_si256(reinterpret_cast<__m256i*>(p), v);
    };
    store(state.words[0], a);
    store(state.words[1], b);
    store(state.words[2], c);
    store(state.words[3], d);
}

} // namespace

Md5LaneFunction md5LanesAvx2() {
    return lanesAvx2;
}

#else

Md5LaneFunction md5LanesAvx2() {
    return nullptr;
}

#endif
