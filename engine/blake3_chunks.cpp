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

void portableChunk(const std::uint8_t* input, std::uint64_t counter, std::uint32_t (*cvs)[8]) {
    std::uint32_t cv[8];
    std::memcpy(cv, blake3::IV, sizeof cv);
    std::uint32_t out[16];
    for (std::size_t block = 0; block < blake3::BLOCKS_PER_CHUNK; ++block) {
        const std::uint32_t flags = (block == 0 ? blake3::CHUNK_START : 0) |
                                    (block == blake3::BLOCKS_PER_CHUNK - 1 ? blake3::CHUNK_END : 0);
        blake3::compress(cv, input + blake3::BLOCK * block, counter, blake3::BLOCK, flags, out);
        std::memcpy(cv, out, sizeof cv);
    }
    std::memcpy(cvs[0], cv, sizeof cv);
}

void portableParent(const std::uint32_t (*children)[8], std::uint32_t (*out)[8]) {
    std::uint32_t words[16];
    blake3::parent(children[0], children[1], 0, words);
    std::memcpy(out[0], words, sizeof out[0]);
}

const Blake3Lanes* lanesOf(Blake3Path path) {
    // Asked at every update: the CPU is asked once.
    struct Table {
        const Blake3Lanes* lanes[4] = {};
        Table() {
            const Blake3Lanes* built[4] = {&BLAKE3_PORTABLE_LANES, blake3LanesSse41(),
                                           blake3LanesAvx2(), blake3LanesAvx512()};
            for (int i = 0; i < 4; ++i) {
                lanes[i] = cpuSupports(static_cast<Blake3Path>(i)) ? built[i] : nullptr;
            }
        }
    };
    static const Table table;
    return table.lanes[static_cast<int>(path)];
}

} // namespace

const Blake3Lanes BLAKE3_PORTABLE_LANES = {1, portableChunk, portableParent};

bool blake3PathAvailable(Blake3Path path) {
    return lanesOf(path) != nullptr;
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

const Blake3Lanes& blake3ActiveLanes() {
    return *lanesOf(blake3ActivePath());
}
