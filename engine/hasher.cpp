#include "engine/hasher.h"

#include <cstdint>

#include <openssl/evp.h>

namespace {

const char* libcryptoName(Algorithm algorithm) {
    switch (algorithm) {
    case Algorithm::Sha1:
        return "SHA1";
    case Algorithm::Sha224:
        return "SHA224";
    case Algorithm::Sha256:
        return "SHA256";
    case Algorithm::Sha384:
        return "SHA384";
    case Algorithm::Sha512:
        return "SHA512";
    case Algorithm::Blake2b512:
        return "BLAKE2B-512";
    case Algorithm::Md5:
        break;
    }
    return nullptr;
}

// Fetched once per algorithm and kept for the life of the process: an implicit fetch at every
// message would cost each small file of a list a search of the providers.
const EVP_MD* fetched(Algorithm algorithm) {
    static const EVP_MD* const TABLE[ALGORITHM_COUNT] = {
        nullptr,
        EVP_MD_fetch(nullptr, libcryptoName(Algorithm::Sha1), nullptr),
        EVP_MD_fetch(nullptr, libcryptoName(Algorithm::Sha224), nullptr),
        EVP_MD_fetch(nullptr, libcryptoName(Algorithm::Sha256), nullptr),
        EVP_MD_fetch(nullptr, libcryptoName(Algorithm::Sha384), nullptr),
        EVP_MD_fetch(nullptr, libcryptoName(Algorithm::Sha512), nullptr),
        EVP_MD_fetch(nullptr, libcryptoName(Algorithm::Blake2b512), nullptr),
    };
    return TABLE[static_cast<int>(algorithm)];
}

} // namespace

Hasher::~Hasher() {
    EVP_MD_CTX_free(context_);
}

bool Hasher::begin(Algorithm algorithm, std::size_t length) {
    algorithm_ = algorithm;
    // libcrypto gives BLAKE2b at 64 bytes only (a digest length parameter came with OpenSSL
    // 3.2), and stays the faster code for it; the other lengths are our own.
    const std::size_t full = digestLength(algorithm);
    if (length != 0 && length != full) {
        route_ = Route::Blake2b;
        return algorithm == Algorithm::Blake2b512 && blake2b_.init(length);
    }
    if (algorithm == Algorithm::Md5) {
        route_ = Route::Md5;
        md5_.init();
        return true;
    }
    route_ = Route::Libcrypto;
    const EVP_MD* md = fetched(algorithm);
    if (md == nullptr) {
        return false;
    }
    if (context_ == nullptr) {
        context_ = EVP_MD_CTX_new();
    }
    return context_ != nullptr && EVP_DigestInit_ex2(context_, md, nullptr) == 1;
}

void Hasher::update(const void* data, std::size_t length) {
    if (route_ == Route::Libcrypto) {
        EVP_DigestUpdate(context_, data, length);
        return;
    }
    if (route_ == Route::Blake2b) {
        blake2b_.update(data, length);
        return;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    constexpr std::size_t MOST = std::size_t{1} << 30; // update takes 32-bit lengths
    while (length > 0) {
        const std::size_t piece = length < MOST ? length : MOST;
        md5_.update(bytes, static_cast<std::uint32_t>(piece));
        bytes += piece;
        length -= piece;
    }
}

void Hasher::finish(Digest& digest) {
    if (route_ == Route::Md5) {
        md5_.finish(digest);
        return;
    }
    if (route_ == Route::Blake2b) {
        blake2b_.finish(digest);
        return;
    }
    digest = Digest::of(algorithm_);
    unsigned int length = 0;
    EVP_DigestFinal_ex(context_, digest.data(), &length);
}

bool algorithmAvailable(Algorithm algorithm) {
    return algorithm == Algorithm::Md5 || fetched(algorithm) != nullptr;
}
