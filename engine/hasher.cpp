#include "engine/hasher.h"

#include <cstdint>

#include <isa-l/crc.h>
#include <openssl/evp.h>
#include <xxhash.h>

#include "engine/xxh3_paths.h"

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
    case Algorithm::Sha3_224:
        return "SHA3-224";
    case Algorithm::Sha3_256:
        return "SHA3-256";
    case Algorithm::Sha3_384:
        return "SHA3-384";
    case Algorithm::Sha3_512:
        return "SHA3-512";
    case Algorithm::Md5:
    case Algorithm::Blake3:
    case Algorithm::Xxh64:
    case Algorithm::Xxh3:
    case Algorithm::Xxh128:
    case Algorithm::Crc32:
        break;
    }
    return nullptr;
}

// Fetched once per algorithm and kept for the life of the process: an implicit fetch at every
// message would cost each small file of a list a search of the providers.
struct FetchedDigests {
    const EVP_MD* md[ALGORITHM_COUNT] = {};
    FetchedDigests() {
        for (int i = 0; i < ALGORITHM_COUNT; ++i) {
            const char* name = libcryptoName(static_cast<Algorithm>(i));
            md[i] = name != nullptr ? EVP_MD_fetch(nullptr, name, nullptr) : nullptr;
        }
    }
};

const EVP_MD* fetched(Algorithm algorithm) {
    static const FetchedDigests table;
    return table.md[static_cast<int>(algorithm)];
}

// A digest's bytes as the peer tools print them: the number's most significant byte first.
void putBigEndian(std::uint64_t value, std::uint8_t* out, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) {
        out[i] = static_cast<std::uint8_t>(value);
        value >>= 8;
    }
}

} // namespace

Hasher::~Hasher() {
    EVP_MD_CTX_free(context_);
    XXH64_freeState(xxh64_);
    if (xxh3_ != nullptr) {
        xxh3Functions_->destroy(xxh3_);
    }
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
    switch (algorithm) {
    case Algorithm::Md5:
        route_ = Route::Md5;
        md5_.init();
        return true;
    case Algorithm::Blake3:
        route_ = Route::Blake3;
        blake3_.init();
        return true;
    case Algorithm::Crc32:
        route_ = Route::Crc32;
        crc_ = 0;
        return true;
    case Algorithm::Xxh64:
        route_ = Route::Xxh64;
        if (xxh64_ == nullptr) {
            xxh64_ = XXH64_createState();
        }
        return xxh64_ != nullptr && XXH64_reset(xxh64_, 0) == XXH_OK;
    case Algorithm::Xxh3:
    case Algorithm::Xxh128:
        route_ = Route::Xxh3;
        if (xxh3_ == nullptr) {
            xxh3Functions_ = &xxh3DefaultFunctions();
            xxh3_ = xxh3Functions_->create();
        }
        if (xxh3_ == nullptr) {
            return false;
        }
        // XXH3-64 and XXH128 share their state; only the final step differs.
        xxh3Functions_->reset(xxh3_, algorithm == Algorithm::Xxh128);
        return true;
    default:
        break;
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
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    switch (route_) {
    case Route::Libcrypto:
        EVP_DigestUpdate(context_, data, length);
        return;
    case Route::Blake2b:
        blake2b_.update(data, length);
        return;
    case Route::Blake3:
        blake3_.update(data, length);
        return;
    case Route::Crc32:
        crc_ = crc32_gzip_refl(crc_, bytes, length);
        return;
    case Route::Xxh64:
        XXH64_update(xxh64_, data, length);
        return;
    case Route::Xxh3:
        xxh3Functions_->update(xxh3_, data, length, algorithm_ == Algorithm::Xxh128);
        return;
    case Route::Md5:
        break;
    }
    constexpr std::size_t MOST = std::size_t{1} << 30; // update takes 32-bit lengths
    while (length > 0) {
        const std::size_t piece = length < MOST ? length : MOST;
        md5_.update(bytes, static_cast<std::uint32_t>(piece));
        bytes += piece;
        length -= piece;
    }
}

void Hasher::finish(Digest& digest) {
    switch (route_) {
    case Route::Md5:
        md5_.finish(digest);
        return;
    case Route::Blake2b:
        blake2b_.finish(digest);
        return;
    case Route::Blake3:
        blake3_.finish(digest);
        return;
    case Route::Libcrypto:
        break;
    case Route::Crc32:
        digest = Digest::of(algorithm_);
        putBigEndian(crc_, digest.data(), 4);
        return;
    case Route::Xxh64:
        digest = Digest::of(algorithm_);
        putBigEndian(XXH64_digest(xxh64_), digest.data(), 8);
        return;
    case Route::Xxh3:
        digest = Digest::of(algorithm_);
        xxh3Functions_->digest(xxh3_, algorithm_ == Algorithm::Xxh128, digest.data());
        return;
    }
    digest = Digest::of(algorithm_);
    unsigned int length = 0;
    EVP_DigestFinal_ex(context_, digest.data(), &length);
}

bool algorithmAvailable(Algorithm algorithm) {
    return libcryptoName(algorithm) == nullptr || fetched(algorithm) != nullptr;
}
