#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

// BLAKE3's constants and its compression function in plain C++, shared by the portable chunk
// path and the tree merging in blake3.cpp.
namespace blake3 {

inline constexpr std::uint32_t IV[8] = {0x6A09E667, 0xBB67AE85, 0x3C6EF372, 0xA54FF53A,
                                        0x510E527F, 0x9B05688C, 0x1F83D9AB, 0x5BE0CD19};

// The domain flags of a compression's last state word.
inline constexpr std::uint32_t CHUNK_START = 1;
inline constexpr std::uint32_t CHUNK_END = 2;
inline constexpr std::uint32_t PARENT = 4;
inline constexpr std::uint32_t ROOT = 8;

inline constexpr int ROUNDS = 7;
inline constexpr std::size_t BLOCK = 64;
inline constexpr std::size_t CHUNK = 1024;
inline constexpr std::size_t BLOCKS_PER_CHUNK = CHUNK / BLOCK;

/// The message words each round takes, in the order of its eight G calls: round r reads
/// SCHEDULE[r], the permutation applied r times.
struct Schedule {
    std::uint8_t word[ROUNDS][16];
    constexpr Schedule() : word() {
        constexpr std::uint8_t PERMUTATION[16] = {2, 6,  3,  10, 7, 0,  4,  13,
                                                  1, 11, 12, 5,  9, 14, 15, 8};
        for (int i = 0; i < 16; ++i) {
            word[0][i] = static_cast<std::uint8_t>(i);
        }
        for (int r = 1; r < ROUNDS; ++r) {
            for (int i = 0; i < 16; ++i) {
                word[r][i] = word[r - 1][PERMUTATION[i]];
            }
        }
    }
};
inline constexpr Schedule SCHEDULE;

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
        out[i] = v[i] ^ v[i + 8];
        out[i + 8] = v[i + 8] ^ cv[i];
    }
}

} // namespace blake3
