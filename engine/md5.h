#pragma once

#include <cstdint>

#include "engine/digest.h"

/// Incremental MD5 (RFC 1321). Call init, then update any number of times, then finish once;
/// finish gives an MD5 Digest (words A, B, C, D, each little-endian, as RFC 1321 gives them) and
/// wipes the context, so it must be initialised again before reuse.
struct Md5Context {
    std::uint32_t state[4];    ///< chaining value A, B, C, D
    std::uint32_t bitCount[2]; ///< message length in bits modulo 2^64, low word first
    std::uint8_t buffer[64];   ///< pending input; (bitCount[0] >> 3) & 63 bytes of it are valid

    void init();
    void update(const void* data, std::uint32_t length);
    void finish(Digest& digest);
};
