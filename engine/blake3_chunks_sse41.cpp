#include "engine/blake3_chunks.h"

// Built with -msse4.1 on x86; everywhere else this file only says that it has no code. Four
// chunks, one per 32-bit lane of a 128-bit register; rotations by 16 and 8 bits are byte
// shuffles (SSSE3, which every SSE4.1 CPU has), the others two shifts and an or.

#if defined(__SSE4_1__)

#include <immintrin.h>

#include "engine/blake3_lanes.h"

namespace {

struct Sse41Lanes {
    using Vec = __m128i;
    static constexpr int WIDTH = 4;
    static constexpr std::size_t STRIDE = blake3::CHUNK;

    [[gnu::always_inline]] static Vec add(Vec x, Vec y) { return _mm_add_epi32(x, y); }
    [[gnu::always_inline]] static Vec xorV(Vec x, Vec y) { return _mm_xor_si128(x, y); }
    template <int N> [[gnu::always_inline]] static Vec rotr(Vec x) {
        if constexpr (N == 16) {
            return _mm_shuffle_epi8(
                x, _mm_setr_epi8(2, 3, 0, 1, 6, 7, 4, 5, 10, 11, 8, 9, 14, 15, 12, 13));
        } else if constexpr (N == 8) {
            return _mm_shuffle_epi8(
                x, _mm_setr_epi8(1, 2, 3, 0, 5, 6, 7, 4, 9, 10, 11, 8, 13, 14, 15, 12));
        } else {
            return _mm_or_si128(_mm_srli_epi32(x, N), _mm_slli_epi32(x, 32 - N));
        }
    }
    [[gnu::always_inline]] static Vec set1(std::uint32_t x) {
        return _mm_set1_epi32(static_cast<int>(x));
    }
    [[gnu::always_inline]] static Vec load(const std::uint32_t* p) {
        return _mm_load_si128(reinterpret_cast<const __m128i*>(p));
    }
    [[gnu::always_inline]] static void store(std::uint32_t* p, Vec x) {
        _mm_store_si128(reinterpret_cast<__m128i*>(p), x);
    }

    // Each 16 bytes of the block, of the four chunks, transposed into four words.
    [[gnu::always_inline]] static void loadBlock(const std::uint8_t* block, Vec* m) {
        for (int q = 0; q < 4; ++q) {
            Vec r[4];
            for (int i = 0; i < 4; ++i) {
                r[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(
                    block + 16 * q + STRIDE * static_cast<std::size_t>(i)));
            }
            const Vec t0 = _mm_unpacklo_epi32(r[0], r[1]);
            const Vec t1 = _mm_unpackhi_epi32(r[0], r[1]);
            const Vec t2 = _mm_unpacklo_epi32(r[2], r[3]);
            const Vec t3 = _mm_unpackhi_epi32(r[2], r[3]);
            m[4 * q] = _mm_unpacklo_epi64(t0, t2);
            m[4 * q + 1] = _mm_unpackhi_epi64(t0, t2);
            m[4 * q + 2] = _mm_unpacklo_epi64(t1, t3);
            m[4 * q + 3] = _mm_unpackhi_epi64(t1, t3);
        }
    }
};

void hashChunks(const std::uint8_t* input, std::uint64_t counter, std::uint32_t (*cvs)[8]) {
    blake3::hashChunkLanes<Sse41Lanes>(input, counter, cvs);
}

void hashParents(const std::uint32_t (*children)[8], std::uint32_t (*out)[8]) {
    blake3::hashParentLanes<Sse41Lanes>(children, out);
}

const Blake3Lanes LANES = {Sse41Lanes::WIDTH, hashChunks, hashParents};

} // namespace

const Blake3Lanes* blake3LanesSse41() {
    return &LANES;
}

#else

const Blake3Lanes* blake3LanesSse41() {
    return nullptr;
}

#endif
