#pragma once

#include <cstdint>

#include "engine/blake3_constants.h"

// Hashes the chunks of one message side by side, one chunk per vector lane: the compression of
// blake3_compress.h with every state word a vector whose lane i belongs to chunk i. Lanes is a
// vector path's traits (see blake3_chunks_avx2.cpp): its Vec, its width, its operations, and
// how it loads a block of every chunk with word w of all lanes in one vector. Included only by
// those paths' files, each built for its extension; everything here is a template of Lanes or
// always inlined, so no code built for an extension is shared with other callers.
namespace blake3 {

template <class Lanes, int A, int B, int C, int D>
[[gnu::always_inline]] inline void gLanes(typename Lanes::Vec* v, typename Lanes::Vec x,
                                          typename Lanes::Vec y) {
    v[A] = Lanes::add(Lanes::add(v[A], v[B]), x);
    v[D] = Lanes::template rotr<16>(Lanes::xorV(v[D], v[A]));
    v[C] = Lanes::add(v[C], v[D]);
    v[B] = Lanes::template rotr<12>(Lanes::xorV(v[B], v[C]));
    v[A] = Lanes::add(Lanes::add(v[A], v[B]), y);
    v[D] = Lanes::template rotr<8>(Lanes::xorV(v[D], v[A]));
    v[C] = Lanes::add(v[C], v[D]);
    v[B] = Lanes::template rotr<7>(Lanes::xorV(v[B], v[C]));
}

template <class Lanes, int R>
[[gnu::always_inline]] inline void roundLanes(typename Lanes::Vec* v,
                                              const typename Lanes::Vec* m) {
    constexpr const std::uint8_t* s = SCHEDULE.word[R];
    gLanes<Lanes, 0, 4, 8, 12>(v, m[s[0]], m[s[1]]);
    gLanes<Lanes, 1, 5, 9, 13>(v, m[s[2]], m[s[3]]);
    gLanes<Lanes, 2, 6, 10, 14>(v, m[s[4]], m[s[5]]);
    gLanes<Lanes, 3, 7, 11, 15>(v, m[s[6]], m[s[7]]);
    gLanes<Lanes, 0, 5, 10, 15>(v, m[s[8]], m[s[9]]);
    gLanes<Lanes, 1, 6, 11, 12>(v, m[s[10]], m[s[11]]);
    gLanes<Lanes, 2, 7, 8, 13>(v, m[s[12]], m[s[13]]);
    gLanes<Lanes, 3, 4, 9, 14>(v, m[s[14]], m[s[15]]);
}

/// The chaining values of Lanes::WIDTH whole chunks from input, the first of index counter.
template <class Lanes>
[[gnu::always_inline]] inline void hashChunkLanes(const std::uint8_t* input, std::uint64_t counter,
                                                  std::uint32_t (*cvs)[8]) {
    using Vec = typename Lanes::Vec;
    constexpr int WIDTH = Lanes::WIDTH;
    alignas(64) std::uint32_t low[WIDTH];
    alignas(64) std::uint32_t high[WIDTH];
    for (int i = 0; i < WIDTH; ++i) {
        low[i] = static_cast<std::uint32_t>(counter + static_cast<std::uint64_t>(i));
        high[i] = static_cast<std::uint32_t>((counter + static_cast<std::uint64_t>(i)) >> 32);
    }
    const Vec counterLow = Lanes::load(low);
    const Vec counterHigh = Lanes::load(high);
    Vec h[8];
    for (int i = 0; i < 8; ++i) {
        h[i] = Lanes::set1(IV[i]);
    }
    for (std::size_t block = 0; block < BLOCKS_PER_CHUNK; ++block) {
        Vec m[16];
        Lanes::loadBlock(input + BLOCK * block, m);
        const std::uint32_t flags =
            (block == 0 ? CHUNK_START : 0) | (block == BLOCKS_PER_CHUNK - 1 ? CHUNK_END : 0);
        Vec v[16] = {h[0],
                     h[1],
                     h[2],
                     h[3],
                     h[4],
                     h[5],
                     h[6],
                     h[7],
                     Lanes::set1(IV[0]),
                     Lanes::set1(IV[1]),
                     Lanes::set1(IV[2]),
                     Lanes::set1(IV[3]),
                     counterLow,
                     counterHigh,
                     Lanes::set1(static_cast<std::uint32_t>(BLOCK)),
                     Lanes::set1(flags)};
        roundLanes<Lanes, 0>(v, m);
        roundLanes<Lanes, 1>(v, m);
        roundLanes<Lanes, 2>(v, m);
        roundLanes<Lanes, 3>(v, m);
        roundLanes<Lanes, 4>(v, m);
        roundLanes<Lanes, 5>(v, m);
        roundLanes<Lanes, 6>(v, m);
        for (int i = 0; i < 8; ++i) {
            h[i] = Lanes::xorV(v[i], v[i + 8]);
        }
    }
    alignas(64) std::uint32_t words[8][WIDTH];
    for (int i = 0; i < 8; ++i) {
        Lanes::store(words[i], h[i]);
    }
    for (int lane = 0; lane < WIDTH; ++lane) {
        for (int i = 0; i < 8; ++i) {
            cvs[lane][i] = words[i][lane];
        }
    }
}

/// The chaining values of Lanes::WIDTH parent nodes: out[i] of children[2i] and children[2i + 1].
template <class Lanes>
[[gnu::always_inline]] inline void hashParentLanes(const std::uint32_t (*children)[8],
                                                   std::uint32_t (*out)[8]) {
    using Vec = typename Lanes::Vec;
    constexpr int WIDTH = Lanes::WIDTH;
    // A parent's block is its children's values side by side: word w of parent i is word w % 8
    // of child 2i + w / 8.
    alignas(64) std::uint32_t words[16][WIDTH];
    for (int i = 0; i < WIDTH; ++i) {
        for (int w = 0; w < 16; ++w) {
            words[w][i] = children[2 * i + w / 8][w % 8];
        }
    }
    Vec m[16];
    for (int w = 0; w < 16; ++w) {
        m[w] = Lanes::load(words[w]);
    }
    Vec v[16];
    for (int i = 0; i < 8; ++i) {
        v[i] = Lanes::set1(IV[i]);
        v[i + 8] = i < 4 ? Lanes::set1(IV[i]) : Lanes::set1(0);
    }
    v[14] = Lanes::set1(static_cast<std::uint32_t>(BLOCK));
    v[15] = Lanes::set1(PARENT);
    roundLanes<Lanes, 0>(v, m);
    roundLanes<Lanes, 1>(v, m);
    roundLanes<Lanes, 2>(v, m);
    roundLanes<Lanes, 3>(v, m);
    roundLanes<Lanes, 4>(v, m);
    roundLanes<Lanes, 5>(v, m);
    roundLanes<Lanes, 6>(v, m);
    alignas(64) std::uint32_t cv[8][WIDTH];
    for (int i = 0; i < 8; ++i) {
        Lanes::store(cv[i], Lanes::xorV(v[i], v[i + 8]));
    }
    for (int lane = 0; lane < WIDTH; ++lane) {
        for (int i = 0; i < 8; ++i) {
            out[lane][i] = cv[i][lane];
        }
    }
}

} // namespace blake3
