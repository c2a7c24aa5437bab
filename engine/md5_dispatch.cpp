#include "engine/md5_dispatch.h"

#include <atomic>

#include "engine/md5_blocks.h"

namespace {

Md5BlockFunction blocksFor(Md5Path) {
    return md5BlocksPortable;
}

// Null until the first block is compressed, then the chosen function. Constant-initialised, so
// it is valid even for hashing done by other static initialisers.
std::atomic<Md5BlockFunction> activeBlocks{nullptr};

} // namespace

bool md5PathAvailable(Md5Path path) {
    return path == Md5Path::Portable;
}

Md5Path md5DefaultPath() {
    return Md5Path::Portable;
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
    return Md5Path::Portable;
}

void md5RunBlocks(std::uint32_t* state, const std::uint8_t* blocks, std::size_t count) {
    Md5BlockFunction active = activeBlocks.load(std::memory_order_relaxed);
    if (active == nullptr) {
        active = blocksFor(md5DefaultPath());
        activeBlocks.store(active, std::memory_order_relaxed);
    }
    active(state, blocks, count);
}
