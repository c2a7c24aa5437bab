#include "engine/blake3_chunks.h"

// Built with -mavx2 on x86; everywhere else this file only says that it has no code. Eight
// chunks, one per 32-bit lane of a 256-bit register. AVX2 has no vector rotate: rotations by 16
// and 8 bits move whole bytes (one byte shuffle), the others take two shifts and an or.

#if defined(__AVX2__)

#include <immintrin.h>

#include "engine/blake3_lanes.h"

namespace {

struct Avx2Lanes {
    using Vec = __m256i;
    static constexpr int WIDTH = 8;
    static constexpr std::size_t STRIDE = blake3::CHUNK;

    [[gnu::always_inline]] static Vec add(Vec x, Vec y) { return _mm256_add_epi32(x, y); }
    [[gnu::always_inline]] static Vec xorV(Vec x, Vec y) { return _mm256_xor_si256(x, y); }
    template <int N> [[gnu::always_inline]] static Vec rotr(Vec x) {
        if constexpr (N == 16) {
            return _mm256_shuffle_epi8(x, _mm256_setr_epi8(2, 3, 0, 1, 6, 7, 4, 5, 10, 11, 8, 9, 14,
                                                           15, 12, 13, 2, 3, 0, 1, 6, 7, 4, 5, 10,
                                                           11, 8, 9, 14, 15, 12, 13));
        } else if constexpr (N == 8) {
            return _mm256_shuffle_epi8(x, _mm256_setr_epi8(1, 2, 3, 0, 5, 6, 7, 4, 9, 10, 11, 8, 13,
                                                           14, 15, 12, 1, 2, 3, 0, 5, 6, 7, 4, 9,
                                                           10, 11, 8, 13, 14, 15, 12));
        } else {
            return _mm256_or_si256(_mm256_srli_epi32(x, N), _mm256_slli_epi32(x, 32 - N));
        }
    }
    [[gnu::always_inline]] static Vec set1(std::uint32_t x) {
        return _mm256_set1_epi32(static_cast<int>(x));
    }
    [[gnu::always_inline]] static Vec load(const std::uint32_t* p) {
        return _mm256_load_si256(reinterpret_cast<const __m256i*>(p));
    }
    [[gnu::always_inline]] static void store(std::uint32_t* p, Vec x) {
        _mm256_store_si256(reinterpret_cast<__m256i*>(p), x);
    }

    // Eight words (32 bytes) at offset of every chunk, transposed into m[0] ... m[7]: unpacking
    // 32-bit then 64-bit pairs puts words w and w + 4 of chunks 4g ... 4g + 3 in the two halves
    // of one register, and a swap of halves between the two groups finishes the words.
    [[gnu::always_inline]] static void transpose8(const std::uint8_t* at, Vec* m) {
        Vec r[8];
        for (int i = 0; i < 8; ++i) {
            r[i] = _mm256_loadu_si256(
                reinterpret_cast<const __m256i*>(at + STRIDE * static_cast<std::size_t>(i)));
        }
        Vec u[8];
        for (int g = 0; g < 2; ++g) {
            const Vec t0 = _mm256_unpacklo_epi32(r[4 * g], r[4 * g + 1]);
            const Vec t1 = _mm256_unpackhi_epi32(r[4 * g], r[4 * g + 1]);
            const Vec t2 = _mm256_unpacklo_epi32(r[4 * g + 2], r[4 * g + 3]);
            const Vec t3 = _mm256_unpackhi_epi32(r[4 * g + 2], r[4 * g + 3]);
            u[4 * g] = _mm256_unpacklo_epi64(t0, t2);
            u[4 * g + 1] = _mm256_unpackhi_epi64(t0, t2);
            u[4 * g + 2] = _mm256_unpacklo_epi64(t1, t3);
            u[4 * g + 3] = _mm256_unpackhi_epi64(t1, t3);
        }
        for (int j = 0; j < 4; ++j) {
            m[j] = _mm256_permute2x128_si256(u[j], u[4 + j], 0x20);
            m[4 + j] = _mm256_permute2x128_si256(u[j], u[4 + j], 0x31);
        }
    }
    [[gnu::always_inline]] static void loadBlock(const std::uint8_t* block, Vec* m) {
        transpose8(block, m);
        transpose8(block + 32, m + 8);
    }
};

void hashChunks(const std::uint8_t* input, std::uint64_t counter, std::uint32_t (*cvs)[8]) {
    blake3::hashChunkLanes<Avx2Lanes>(input, counter, cvs);
}

void hashParents(const std::uint32_t (*children)[8], std::uint32_t (*out)[8]) {
    blake3::hashParentLanes<Avx2Lanes>(children, out);
}

const Blake3Lanes LANES = {Avx2Lanes::WIDTH, hashChunks, hashParents};

} // namespace

const Blake3Lanes* blake3LanesAvx2() {
    return &LANES;
}

#else

const Blake3Lanes* blake3LanesAvx2() {
    return nullptr;
}

#endif
