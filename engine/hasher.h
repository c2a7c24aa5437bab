#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/blake2b.h"
#include "engine/blake3.h"
#include "engine/digest.h"
#include "engine/md5.h"

struct evp_md_ctx_st;
struct XXH64_state_s;
struct Xxh3Functions;

/// Hashes one message at a time with any of the program's algorithms: MD5, BLAKE3 and the
/// shorter kinds of BLAKE2b with our own code; the SHA families and BLAKE2b-512 through
/// libcrypto; XXH64 through libxxhash and XXH3 through its header, built for the CPU's vector
/// extension (see xxh3_paths.h); CRC32 through ISA-L, whose folding with carry-less
/// multiplication is many times faster than zlib's tables. A hasher is reused from message to
/// message; a library's context is made at the first message that needs one.
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
    enum class Route : std::uint8_t { Md5, Blake2b, Blake3, Libcrypto, Xxh64, Xxh3, Crc32 };

    Route route_ = Route::Md5;
    Algorithm algorithm_ = Algorithm::Md5;
    Md5Context md5_;
    Blake2b blake2b_;
    Blake3 blake3_;
    std::uint32_t crc_ = 0;
    evp_md_ctx_st* context_ = nullptr;
    XXH64_state_s* xxh64_ = nullptr;
    const Xxh3Functions* xxh3Functions_ = nullptr;
    void* xxh3_ = nullptr;
};

/// Whether algorithm can be had here: libcrypto's (and libxxhash's) may be missing from a
/// provider or out of memory; our own always can.
bool algorithmAvailable(Algorithm algorithm);
