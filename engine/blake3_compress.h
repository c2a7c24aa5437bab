#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#include "engine/blake3_constants.h"

// BLAKE3's compression function in plain C++, shared by the portable chunk path and the tree
// merging in blake3.cpp.
namespace blake3 {

inline std::uint32_t load32(const std::uint8_t* in) {
    return static_cast<std::uint32_t>(in[0]) | static_cast<std::uint32_t>(in[1]) << 8 |
           static_cast<std::uint32_t>(in[2]) << 16 | static_cast<std::uint32_t>(in[3]) << 24;
}

inline void g(std::uint32_t* v, int a, int b, int c, int d, std::uint32_t x, std::uint32_t y) {
    v[a] = v[a] + v[b] + x;
    v[d] = std::rotr(v[d] ^ v[a], 16);
    v[c] = v[c] + v[d];
    v[b] = std::rotr(v[b] ^ v[c], 12);
    v[a] = v[a] + v[b] + y;
    v[d] = std::rotr(v[d] ^ v[a], 8);
    v[c] = v[c] + v[d];
    v[b] = std::rotr(v[b] ^ v[c], 7);
}

/// Compresses one 64-byte block (its first length bytes the message, the rest zero) into the
/// chaining value cv. out gets the 16 output words: the first 8 are the next chaining value.
/// out may be cv itself.
inline void compress(const std::uint32_t* cv, const std::uint8_t* block, std::uint64_t counter,
                     std::uint32_t length, std::uint32_t flags, std::uint32_t* out) {
    std::uint32_t m[16];
    for (int i = 0; i < 16; ++i) {
        m[i] = load32(block + 4 * i);
    }
    std::uint32_t v[16] = {cv[0],
                           cv[1],
                           cv[2],
                           cv[3],
                           cv[4],
                           cv[5],
                           cv[6],
                           cv[7],
                           IV[0],
                           IV[1],
                           IV[2],
                           IV[3],
                           static_cast<std::uint32_t>(counter),
                           static_cast<std::uint32_t>(counter >> 32),
                           length,
                           flags};
    for (int r = 0; r < ROUNDS; ++r) {
        const std::uint8_t* s = SCHEDULE.word[r];
        g(v, 0, 4, 8, 12, m[s[0]], m[s[1]]);
        g(v, 1, 5, 9, 13, m[s[2]], m[s[3]]);
        g(v, 2, 6, 10, 14, m[s[4]], m[s[5]]);
        g(v, 3, 7, 11, 15, m[s[6]], m[s[7]]);
        g(v, 0, 5, 10, 15, m[s[8]], m[s[9]]);
        g(v, 1, 6, 11, 12, m[s[10]], m[s[11]]);
        g(v, 2, 7, 8, 13, m[s[12]], m[s[13]]);
        g(v, 3, 4, 9, 14, m[s[14]], m[s[15]]);
    }
    for (int i = 0; i < 8; ++i) {
        out[i + 8] = v[i + 8] ^ cv[i];
        out[i] = v[i] ^ v[i + 8];
    }
}

/// The compression of the parent of two subtrees: its block is their chaining values side by
/// side. out gets the 16 output words.
inline void parent(const std::uint32_t* left, const std::uint32_t* right, std::uint32_t flags,
                   std::uint32_t* out) {
    std::uint8_t block[BLOCK];
    for (int i = 0; i < 8; ++i) {
        for (int b = 0; b < 4; ++b) {
            block[4 * i + b] = static_cast<std::uint8_t>(left[i] >> (8 * b));
            block[32 + 4 * i + b] = static_cast<std::uint8_t>(right[i] >> (8 * b));
        }
    }
    compress(IV, block, 0, BLOCK, PARENT | flags, out);
}

} // namespace blake3
