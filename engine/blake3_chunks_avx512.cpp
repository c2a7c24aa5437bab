#include "engine/blake3_chunks.h"

// Built with -mavx512f -mavx512vl on x86; everywhere else this file only says that it has no
// code. Sixteen chunks, one per 32-bit lane of a 512-bit register, with AVX-512's vector rotate.

#if defined(__AVX512F__)

// GCC 12 sees the deliberately undefined operand of its own AVX-512 intrinsics (masked unpacks,
// the rotate) as uninitialised when they are inlined here (GCC bug 105593); which of the two
// warnings it gives depends on the optimisation and the instrumentation.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include <immintrin.h>

#include "engine/blake3_lanes.h"

namespace {

struct Avx512Lanes {
    using Vec = __m512i;
    static constexpr int WIDTH = 16;
    // Chunks lie this many bytes apart, so lane i of a load reads chunk i.
    static constexpr std::size_t STRIDE = blake3::CHUNK;

    [[gnu::always_inline]] static Vec add(Vec x, Vec y) { return _mm512_add_epi32(x, y); }
    [[gnu::always_inline]] static Vec xorV(Vec x, Vec y) { return _mm512_xor_si512(x, y); }
    template <int N> [[gnu::always_inline]] static Vec rotr(Vec x) {
        return _mm512_ror_epi32(x, N);
    }
    [[gnu::always_inline]] static Vec set1(std::uint32_t x) {
        return _mm512_set1_epi32(static_cast<int>(x));
    }
    [[gnu::always_inline]] static Vec load(const std::uint32_t* p) { return _mm512_load_si512(p); }
    [[gnu::always_inline]] static void store(std::uint32_t* p, Vec x) { _mm512_store_si512(p, x); }

    // The block at offset of every chunk, transposed: m[w] holds word w of the 16 chunks.
    // 1. Unpacking 32-bit then 64-bit pairs gives, in each 128-bit lane k of u[4g + j], word
    //    4k + j of chunks 4g ... 4g + 3.
    // 2. Two shuffles of 128-bit lanes gather the four groups of chunks for each word.
    [[gnu::always_inline]] static void loadBlock(const std::uint8_t* block, Vec* m) {
        Vec r[16];
        for (int i = 0; i < 16; ++i) {
            r[i] = _mm512_loadu_si512(block + STRIDE * static_cast<std::size_t>(i));
        }
        Vec u[16];
        for (int g = 0; g < 4; ++g) {
            const Vec t0 = _mm512_unpacklo_epi32(r[4 * g], r[4 * g + 1]);
            const Vec t1 = _mm512_unpackhi_epi32(r[4 * g], r[4 * g + 1]);
            const Vec t2 = _mm512_unpacklo_epi32(r[4 * g + 2], r[4 * g + 3]);
            const Vec t3 = _mm512_unpackhi_epi32(r[4 * g + 2], r[4 * g + 3]);
            u[4 * g] = _mm512_unpacklo_epi64(t0, t2);
            u[4 * g + 1] = _mm512_unpackhi_epi64(t0, t2);
            u[4 * g + 2] = _mm512_unpacklo_epi64(t1, t3);
            u[4 * g + 3] = _mm512_unpackhi_epi64(t1, t3);
        }
        for (int j = 0; j < 4; ++j) {
            const Vec lowA = _mm512_shuffle_i32x4(u[j], u[4 + j], _MM_SHUFFLE(1, 0, 1, 0));
            const Vec highA = _mm512_shuffle_i32x4(u[j], u[4 + j], _MM_SHUFFLE(3, 2, 3, 2));
            const Vec lowB = _mm512_shuffle_i32x4(u[8 + j], u[12 + j], _MM_SHUFFLE(1, 0, 1, 0));
            const Vec highB = _mm512_shuffle_i32x4(u[8 + j], u[12 + j], _MM_SHUFFLE(3, 2, 3, 2));
            m[j] = _mm512_shuffle_i32x4(lowA, lowB, _MM_SHUFFLE(2, 0, 2, 0));
            m[4 + j] = _mm512_shuffle_i32x4(lowA, lowB, _MM_SHUFFLE(3, 1, 3, 1));
            m[8 + j] = _mm512_shuffle_i32x4(highA, highB, _MM_SHUFFLE(2, 0, 2, 0));
            m[12 + j] = _mm512_shuffle_i32x4(highA, highB, _MM_SHUFFLE(3, 1, 3, 1));
        }
    }
};

void hashChunks(const std::uint8_t* input, std::uint64_t counter, std::uint32_t (*cvs)[8]) {
    blake3::hashChunkLanes<Avx512Lanes>(input, counter, cvs);
}

void hashParents(const std::uint32_t (*children)[8], std::uint32_t (*out)[8]) {
    blake3::hashParentLanes<Avx512Lanes>(children, out);
}

const Blake3Lanes LANES = {Avx512Lanes::WIDTH, hashChunks, hashParents};

} // namespace

const Blake3Lanes* blake3LanesAvx512() {
    return &LANES;
}

#else

const Blake3Lanes* blake3LanesAvx512() {
    return nullptr;
}

#endif
