#pragma once

#include <cstddef>
#include <cstdint>

/// The most nodes a path hashes at once.
inline constexpr int BLAKE3_MAX_LANES = 16;

/// A path's way of hashing BLAKE3's tree nodes side by side, width of them at a time.
struct Blake3Lanes {
    int width;
    /// Hashes width whole 1 KiB chunks, consecutive from input, the first with index counter,
    /// none of them the message's only chunk: cvs[i] gets the chaining value of chunk i.
    void (*chunks)(const std::uint8_t* input, std::uint64_t counter, std::uint32_t (*cvs)[8]);
    /// Hashes width parent nodes that are not the root: out[i] gets the chaining value of the
    /// parent of children[2i] and children[2i + 1]. out may be children itself.
    void (*parents)(const std::uint32_t (*children)[8], std::uint32_t (*out)[8]);
};

/// The chunk paths this build can run. They give the same chaining values; they differ in
/// width and speed.
enum class Blake3Path {
    Portable, ///< plain C++, one node at a time
    Sse41,    ///< 4 nodes in 128-bit vectors
    Avx2,     ///< 8 nodes in 256-bit vectors
    Avx512,   ///< 16 nodes in 512-bit vectors, with the vector rotate of AVX-512 F
};

/// Whether this build has the path and the CPU can run it.
bool blake3PathAvailable(Blake3Path path);

/// The widest path this CPU runs, unless one is forced.
Blake3Path blake3ActivePath();

/// Makes every Blake3 use path from now on. Returns false, changing nothing, when the path is
/// not available. Meant for tests and benchmarks.
bool blake3ForcePath(Blake3Path path);

/// Returns to the widest path this CPU runs.
void blake3UseDefaultPath();

/// The functions of the path in use now.
const Blake3Lanes& blake3ActiveLanes();

/// The portable path, and the vector paths' functions (null when this build has none).
extern const Blake3Lanes BLAKE3_PORTABLE_LANES;
const Blake3Lanes* blake3LanesSse41();
const Blake3Lanes* blake3LanesAvx2();
const Blake3Lanes* blake3LanesAvx512();
