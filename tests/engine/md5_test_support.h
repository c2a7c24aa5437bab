#pragma once

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <cstddef>
#include <ostream>
#include <string>

#include "engine/md5.h"
#include "engine/md5_dispatch.h"

// The MD5 of size bytes as OpenSSL computes it: the independent reference for these tests.
inline Digest referenceMd5(const void* data, std::size_t size) {
    Digest digest{};
    unsigned int length = 0;
    EVP_Digest(data, size, digest.data(), &length, EVP_md5(), nullptr);
    return digest;
}

// Runs each case with one compression path forced, skipping a path this CPU cannot run.
class ForcedMd5Path : public testing::TestWithParam<Md5Path> {
protected:
    void SetUp() override {
        if (!md5PathAvailable(GetParam())) {
            GTEST_SKIP() << "this CPU cannot run the path";
        }
        ASSERT_TRUE(md5ForcePath(GetParam()));
    }
    void TearDown() override { md5UseDefaultPath(); }
};

inline void PrintTo(Md5Path path, std::ostream* out) {
    *out << (path == Md5Path::Portable ? "Portable" : "Avx512");
}

inline std::string md5PathName(const testing::TestParamInfo<Md5Path>& info) {
    return info.param == Md5Path::Portable ? "Portable" : "Avx512";
}

#define INSTANTIATE_FOR_EVERY_MD5_PATH(suite)                                                      \
    INSTANTIATE_TEST_SUITE_P(Paths, suite, testing::Values(Md5Path::Portable, Md5Path::Avx512),    \
                             md5PathName)
