#pragma once

#include <cstddef>
#include <cstdint>

// BLAKE3's constants, for every chunk path. Data only: the vector paths' files are built for
// their extensions, and an inline function defined in them could be the copy the linker keeps
// for every caller.
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

} // namespace blake3
