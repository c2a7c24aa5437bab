#pragma once

// XXH3 streaming over xxhash.h's inline definitions, included by each path's file alone: with
// XXH_INLINE_ALL every function has internal linkage, so the code each file builds for its
// extension stays its own.

#define XXH_INLINE_ALL
#include <xxhash.h>

#include "engine/xxh3_paths.h"

namespace {

void* xxh3Create() {
    return XXH3_createState();
}

void xxh3Destroy(void* state) {
    XXH3_freeState(static_cast<XXH3_state_t*>(state));
}

void xxh3Reset(void* state, bool wide) {
    auto* s = static_cast<XXH3_state_t*>(state);
    if (wide) {
        XXH3_128bits_reset(s);
    } else {
        XXH3_64bits_reset(s);
    }
}

void xxh3Update(void* state, const void* data, std::size_t length, bool wide) {
    auto* s = static_cast<XXH3_state_t*>(state);
    if (wide) {
        XXH3_128bits_update(s, data, length);
    } else {
        XXH3_64bits_update(s, data, length);
    }
}

void putBigEndian(std::uint64_t value, std::uint8_t* out) {
    for (int i = 7; i >= 0; --i) {
        out[i] = static_cast<std::uint8_t>(value);
        value >>= 8;
    }
}

void xxh3Digest(const void* state, bool wide, std::uint8_t* out) {
    const auto* s = static_cast<const XXH3_state_t*>(state);
    if (wide) {
        const XXH128_hash_t hash = XXH3_128bits_digest(s);
        putBigEndian(hash.high64, out);
        putBigEndian(hash.low64, out + 8);
    } else {
        putBigEndian(XXH3_64bits_digest(s), out);
    }
}

const Xxh3Functions FUNCTIONS = {xxh3Create, xxh3Destroy, xxh3Reset, xxh3Update, xxh3Digest};

} // namespace
