#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "engine/digest.h"
#include "engine/work_meter.h"

/// Hashes everything still readable from stream, in 1024-byte reads. Returns 0 when the stream's
/// error indicator is clear afterwards, -1 when it is set; digest holds the MD5 of what was read
/// in either case. Each piece is reported to meter (if any); when it asks to stop, reading ends
/// there and the result is DIGEST_STOPPED. The stream is neither rewound nor closed.
int digestStream(std::FILE* stream, Digest& digest, WorkMeter* meter = nullptr);

/// digestStream with any algorithm, its digest length bytes (0: the algorithm's own; see
/// Hasher::begin): the same reads, results and meter. A digest that cannot be computed here
/// counts as a read error.
int digestStream(std::FILE* stream, Algorithm algorithm, Digest& digest, WorkMeter* meter = nullptr,
                 std::size_t length = 0);

/// The lowercase hexadecimal form of digest, two characters a byte, first byte first.
std::string toHex(const Digest& digest);

/// The value of '0'-'9' and 'a'-'f'; -1 for anything else, uppercase included.
constexpr int hexDigitValue(int character) {
    if (character >= '0' && character <= '9') {
        return character - '0';
    }
    if (character >= 'a' && character <= 'f') {
        return character - 'a' + 10;
    }
    return -1;
}
