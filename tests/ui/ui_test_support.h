#pragma once

// Shared set-up of the window tests: the headless window system with the program's resources,
// and a scratch folder that is the current one until the test ends.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/headless_backend_test.h"
#include "tests/support/scratch_folder.h"

class UiTest : public HeadlessBackendTest {
protected:
    void SetUp() override;

    /// Writes bytes to a file in the scratch folder (or below it) and returns its full path.
    std::string writeFile(const std::string& relative, const std::string& bytes);
    /// The whole content of a file.
    static std::string readFile(const std::string& path);

private:
    ScratchFolder m_folder{true}; // the current folder while the test runs

public:
    const std::filesystem::path scratch = m_folder.path();
};

/// The MD5 of bytes in lowercase hex.
std::string md5Hex(const std::string& bytes);

/// MD5 of "abc" and of the empty message (RFC 1321).
inline constexpr const char* MD5_ABC = "900150983cd24fb0d6963f7d28e17f72";
inline constexpr const char* MD5_EMPTY = "d41d8cd98f00b204e9800998ecf8427e";
/// SHA-256 of the empty message (FIPS 180-4).
inline constexpr const char* SHA256_EMPTY =
    "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";
