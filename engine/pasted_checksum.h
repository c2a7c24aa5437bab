#pragma once

#include <string>
#include <string_view>

#include "engine/digest.h"

/// A checksum as a person pastes it from a download page: its digits, and the algorithms it may
/// be of.
struct PastedChecksum {
    std::string hex;         ///< lowercase
    unsigned algorithms = 0; ///< a bit (1 << Algorithm) for each algorithm it may be of

    bool mayBe(Algorithm algorithm) const {
        return (algorithms & (1u << static_cast<unsigned>(algorithm))) != 0;
    }
    /// Whether digest is this checksum.
    bool matches(const Digest& digest) const;
};

/// Reads one checksum from text: hex digits in either letter case, with blanks around them, a
/// prefix naming the algorithm ("SHA256:", "sha256=", "MD5 ", "SHA-256 "), or a whole line of a
/// checksum list, tagged or not. Without a name the length of the digits tells the algorithm;
/// 128 digits may be SHA-512 or BLAKE2b. False when text holds no checksum.
bool parsePastedChecksum(std::string_view text, PastedChecksum& checksum);
