#pragma once

#include <cstddef>

#include "engine/digest.h"
#include "engine/md5.h"

struct evp_md_ctx_st;

/// Hashes one message at a time with any of the program's algorithms: MD5 with our own code,
/// the others through libcrypto. A hasher is reused from message to message; its libcrypto
/// context is made at the first message that needs one.
class Hasher {
public:
    Hasher() = default;
    ~Hasher();
    Hasher(const Hasher&) = delete;
    Hasher& operator=(const Hasher&) = delete;

    /// Starts a message. False when libcrypto cannot hash with algorithm here (out of memory,
    /// or a provider without it); nothing else may be called then.
    bool begin(Algorithm algorithm);
    void update(const void* data, std::size_t length);
    /// The digest of the message; begin must come again before the next one.
    void finish(Digest& digest);

private:
    Algorithm algorithm_ = Algorithm::Md5;
    Md5Context md5_;
    evp_md_ctx_st* context_ = nullptr;
};

/// Whether libcrypto here can hash with algorithm (MD5 always can: it is our own).
bool algorithmAvailable(Algorithm algorithm);
