#pragma once

#include <cstddef>
#include <cstdint>

/// XXH3 (64 and 128 bits) built from libxxhash-dev's header for each vector extension: Debian's
/// libxxhash is built for the baseline CPU, and AVX2 hashes nearly three times as fast. A path's
/// functions work on a state it makes itself.
struct Xxh3Functions {
    /// A new state, or null when memory runs out.
    void* (*create)();
    void (*destroy)(void* state);
    /// Starts a message of the 64-bit (wide false) or 128-bit digest.
    void (*reset)(void* state, bool wide);
    void (*update)(void* state, const void* data, std::size_t length, bool wide);
    /// The digest, its most significant byte first, as xxhsum prints it: 8 or 16 bytes.
    void (*digest)(const void* state, bool wide, std::uint8_t* out);
};

enum class Xxh3Path {
    Portable, ///< the baseline of the build (SSE2 on x86-64)
    Avx2,
};

/// Whether this build has the path and the CPU can run it.
bool xxh3PathAvailable(Xxh3Path path);

/// The path's functions, or null when it is not available.
const Xxh3Functions* xxh3Functions(Xxh3Path path);

/// The fastest path this CPU runs. States made by one path are used only with its functions.
const Xxh3Functions& xxh3DefaultFunctions();

// The paths' own functions (null when this build has none), for xxh3_paths.cpp.
const Xxh3Functions* xxh3FunctionsPortable();
const Xxh3Functions* xxh3FunctionsAvx2();
