#pragma once

#include <cstddef>
#include <cstdint>

/// The most chunks a path hashes at once.
inline constexpr int BLAKE3_MAX_CHUNKS = 16;

/// Hashes whole 1 KiB chunks side by side: the path's width of them, consecutive from input,
/// the first with index counter, none of them the message's only chunk. cvs[i] gets the
/// chaining value of chunk i, as the tree's leaves.
using Blake3ChunksFunction = void (*)(const std::uint8_t* input, std::uint64_t counter,
                                      std::uint32_t (*cvs)[8]);

/// The chunk paths this build can run. They give the same chaining values; they differ in
/// width and speed.
enum class Blake3Path {
    Portable, ///< plain C++, one chunk at a time
    Sse41,    ///< 4 chunks in 128-bit vectors
    Avx2,     ///< 8 chunks in 256-bit vectors
    Avx512,   ///< 16 chunks in 512-bit vectors, with the vector rotate of AVX-512 F
};

/// How many chunks the path hashes at once.
int blake3ChunkWidth(Blake3Path path);

/// Whether this build has the path and the CPU can run it.
bool blake3PathAvailable(Blake3Path path);

/// The path's function, or null when it is not available.
Blake3ChunksFunction blake3ChunksFunction(Blake3Path path);

/// The widest path this CPU runs, unless one is forced.
Blake3Path blake3ActivePath();

/// Makes every Blake3 use path from now on. Returns false, changing nothing, when the path is
/// not available. Meant for tests and benchmarks.
bool blake3ForcePath(Blake3Path path);

/// Returns to the widest path this CPU runs.
void blake3UseDefaultPath();

/// The function and width in use now.
Blake3ChunksFunction blake3ActiveChunks(int& width);

/// The portable path's function, and those of the vector paths (null when this build has none).
void blake3ChunksPortable(const std::uint8_t* input, std::uint64_t counter,
                          std::uint32_t (*cvs)[8]);
Blake3ChunksFunction blake3ChunksSse41();
Blake3ChunksFunction blake3ChunksAvx2();
Blake3ChunksFunction blake3ChunksAvx512();
