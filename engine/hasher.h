#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/blake2b.h"
#include "engine/digest.h"
#include "engine/md5.h"

struct evp_md_ctx_st;

/// Hashes one message at a time with any of the program's algorithms: MD5 and the shorter kinds
/// of BLAKE2b with our own code, the others (BLAKE2b-512 among them) through libcrypto. A hasher
/// is reused from message to message; its libcrypto context is made at the first message that
/// needs one.
class Hasher {
public:
    Hasher() = default;
    ~Hasher();
    Hasher(const Hasher&) = delete;
    Hasher& operator=(const Hasher&) = delete;

    /// Starts a message whose digest is length bytes (0: the algorithm's own length; another
    /// only for BLAKE2b, 1 to 64). False when no such digest can be had: a length the algorithm
    /// does not have, or libcrypto cannot hash with algorithm here (out of memory, or a provider
    /// without it); nothing else may be called then.
    bool begin(Algorithm algorithm, std::size_t length = 0);
    void update(const void* data, std::size_t length);
    /// The digest of the message; begin must come again before the next one.
    void finish(Digest& digest);

private:
    enum class Route : std::uint8_t { Md5, Blake2b, Libcrypto };

    Route route_ = Route::Md5;
    Algorithm algorithm_ = Algorithm::Md5;
    Md5Context md5_;
    Blake2b blake2b_;
    evp_md_ctx_st* context_ = nullptr;
};

/// Whether libcrypto here can hash with algorithm (MD5 always can: it is our own).
bool algorithmAvailable(Algorithm algorithm);
