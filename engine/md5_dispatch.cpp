#include "engine/md5_dispatch.h"

#include <atomic>
#include <chrono>

#include "engine/md5_blocks.h"

namespace {

bool cpuHasAvx512() {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    // The checks also ask whether the operating system saves the vector state. The explicit
    // init makes them valid during static initialisation too.
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl");
#else
    return false;
#endif
}

Md5BlockFunction blocksFor(Md5Path path) {
    return path == Md5Path::Avx512 ? md5Avx512Blocks() : md5BlocksPortable;
}

// Times each path on the same blocks and returns the faster. The CPU's feature bits alone do not
// decide it: one-lane vector code wins where simple vector operations take one cycle and loses
// badly where they take two (as on AMD Zen 5), because MD5 is one long chain of such operations.
Md5Path fastestPath() {
    if (!md5PathAvailable(Md5Path::Avx512)) {
        return Md5Path::Portable;
    }
    constexpr std::size_t BLOCKS = 64;
    alignas(64) static const std::uint8_t input[BLOCKS * 64] = {};
    const Md5BlockFunction candidates[2] = {md5BlocksPortable, md5Avx512Blocks()};
    std::chrono::steady_clock::duration best[2] = {std::chrono::hours(1), std::chrono::hours(1)};
    std::uint32_t state[4] = {};
    // Alternating rounds, best of each: a pre-emption spoils one round, not the choice.
    for (int round = 0; round < 6; ++round) {
        for (int i = 0; i < 2; ++i) {
            const auto start = std::chrono::steady_clock::now();
            candidates[i](state, input, BLOCKS);
            const auto took = std::chrono::steady_clock::now() - start;
            if (round > 0 && took < best[i]) {
                best[i] = took;
            }
        }
    }
    return best[1] < best[0] ? Md5Path::Avx512 : Md5Path::Portable;
}

// Null until the first block is compressed, then the chosen function. Constant-initialised, so
// it is valid even for hashing done by other static initialisers.
std::atomic<Md5BlockFunction> activeBlocks{nullptr};

} // namespace

bool md5PathAvailable(Md5Path path) {
    switch (path) {
    case Md5Path::Portable:
        return true;
    case Md5Path::Avx512:
        return md5Avx512Blocks() != nullptr && cpuHasAvx512();
    }
    return false;
}

Md5Path md5DefaultPath() {
    static const Md5Path chosen = fastestPath();
    return chosen;
}

bool md5ForcePath(Md5Path path) {
    if (!md5PathAvailable(path)) {
        return false;
    }
    activeBlocks.store(blocksFor(path), std::memory_order_relaxed);
    return true;
}

void md5UseDefaultPath() {
    activeBlocks.store(blocksFor(md5DefaultPath()), std::memory_order_relaxed);
}

Md5Path md5ActivePath() {
    Md5BlockFunction active = activeBlocks.load(std::memory_order_relaxed);
    if (active == nullptr) {
        return md5DefaultPath();
    }
    return active == md5BlocksPortable ? Md5Path::Portable : Md5Path::Avx512;
}

void md5RunBlocks(std::uint32_t* state, const std::uint8_t* blocks, std::size_t count) {
    Md5BlockFunction active = activeBlocks.load(std::memory_order_relaxed);
    if (active == nullptr) {
        active = blocksFor(md5DefaultPath());
        activeBlocks.store(active, std::memory_order_relaxed);
    }
    active(state, blocks, count);
}
