#include "engine/blake3_chunks.h"

#include <atomic>
#include <cstring>

#include "engine/blake3_compress.h"

namespace {

bool cpuSupports(Blake3Path path) {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    // The checks also ask whether the operating system saves the vector state. The explicit
    // init makes them valid during static initialisation too.
    __builtin_cpu_init();
    switch (path) {
    case Blake3Path::Portable:
        return true;
    case Blake3Path::Sse41:
        return __builtin_cpu_supports("sse4.1");
    case Blake3Path::Avx2:
        return __builtin_cpu_supports("avx2");
    case Blake3Path::Avx512:
        return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl");
    }
    return false;
#else
    return path == Blake3Path::Portable;
#endif
}

Blake3Path widestPath() {
    for (Blake3Path path : {Blake3Path::Avx512, Blake3Path::Avx2, Blake3Path::Sse41}) {
        if (blake3PathAvailable(path)) {
            return path;
        }
    }
    return Blake3Path::Portable;
}

// The path in use; constant-initialised to "none chosen yet", so that it is valid even for
// hashing done by other static initialisers.
std::atomic<int> active{-1};

} // namespace

void blake3ChunksPortable(const std::uint8_t* input, std::uint64_t counter,
                          std::uint32_t (*cvs)[8]) {
    std::uint32_t cv[8];
    std::memcpy(cv, blake3::IV, sizeof cv);
    std::uint32_t out[16];
    for (std::size_t block = 0; block < blake3::BLOCKS_PER_CHUNK; ++block) {
        const std::uint32_t flags = block == 0                              ? blake3::CHUNK_START
                                    : block == blake3::BLOCKS_PER_CHUNK - 1 ? blake3::CHUNK_END
                                                                            : 0;
        blake3::compress(cv, input + blake3::BLOCK * block, counter, blake3::BLOCK, flags, out);
        std::memcpy(cv, out, sizeof cv);
    }
    std::memcpy(cvs[0], cv, sizeof cv);
}

int blake3ChunkWidth(Blake3Path path) {
    switch (path) {
    case Blake3Path::Portable:
        return 1;
    case Blake3Path::Sse41:
        return 4;
    case Blake3Path::Avx2:
        return 8;
    case Blake3Path::Avx512:
        return 16;
    }
    return 1;
}

Blake3ChunksFunction blake3ChunksFunction(Blake3Path path) {
    if (!cpuSupports(path)) {
        return nullptr;
    }
    switch (path) {
    case Blake3Path::Portable:
        return blake3ChunksPortable;
    case Blake3Path::Sse41:
        return blake3ChunksSse41();
    case Blake3Path::Avx2:
        return blake3ChunksAvx2();
    case Blake3Path::Avx512:
        return blake3ChunksAvx512();
    }
    return nullptr;
}

bool blake3PathAvailable(Blake3Path path) {
    return blake3ChunksFunction(path) != nullptr;
}

Blake3Path blake3ActivePath() {
    const int chosen = active.load(std::memory_order_relaxed);
    if (chosen >= 0) {
        return static_cast<Blake3Path>(chosen);
    }
    static const Blake3Path widest = widestPath();
    return widest;
}

bool blake3ForcePath(Blake3Path path) {
    if (!blake3PathAvailable(path)) {
        return false;
    }
    active.store(static_cast<int>(path), std::memory_order_relaxed);
    return true;
}

void blake3UseDefaultPath() {
    active.store(-1, std::memory_order_relaxed);
}

Blake3ChunksFunction blake3ActiveChunks(int& width) {
    const Blake3Path path = blake3ActivePath();
    width = blake3ChunkWidth(path);
    return blake3ChunksFunction(path);
}
