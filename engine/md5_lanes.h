#pragma once

#include <cstddef>
#include <cstdint>

/// The most messages a multi-lane compression works on at once.
inline constexpr int MD5_MAX_LANES = 16;

/// The chaining values of up to MD5_MAX_LANES independent messages, word by word: words[w][i]
/// is word w (A, B, C, D) of lane i, so that one vector load takes a word of every lane.
struct alignas(64) Md5LaneState {
    std::uint32_t words[4][MD5_MAX_LANES];
};

/// Compresses count consecutive 64-byte blocks of each lane's message into the lane's chaining
/// value. Lane i reads from data[i], which may have any alignment; every lane below the path's
/// width takes part, so a caller with fewer messages points the spare lanes at any readable
/// blocks and ignores their words.
using Md5LaneFunction = void (*)(Md5LaneState& state, const std::uint8_t* const* data,
                                 std::size_t count);

/// The multi-lane compressions this build can run. They give the same chaining values; they
/// differ in width and speed.
enum class Md5LanePath {
    Portable, ///< plain C++, a few messages interleaved for the CPU's parallel units
    Avx2,     ///< 8 lanes of 256-bit vectors
    Avx512,   ///< 16 lanes of 512-bit vectors (AVX-512 F)
};

/// How many messages the path hashes at once.
int md5LaneWidth(Md5LanePath path);

/// Whether this build has the path and the CPU can run it.
bool md5LanePathAvailable(Md5LanePath path);

/// The compression of the path, or null when it is not available.
Md5LaneFunction md5LaneFunction(Md5LanePath path);

/// The widest path this CPU runs, unless one is forced.
Md5LanePath md5ActiveLanePath();

/// Makes side-by-side hashing use path from now on. Returns false, changing nothing, when the
/// path is not available. Meant for tests and benchmarks.
bool md5ForceLanePath(Md5LanePath path);

/// Returns to the widest path this CPU runs.
void md5UseDefaultLanePath();

// The paths' own compressions, or null when this build has none (for md5_lanes.cpp).
Md5LaneFunction md5LanesAvx2();
Md5LaneFunction md5LanesAvx512();
