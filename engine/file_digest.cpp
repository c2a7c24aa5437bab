#include "engine/file_digest.h"

#include <cstdint>

#include "engine/hasher.h"
#include "engine/md5.h"

namespace {
constexpr std::size_t READ_SIZE = 1024;
}

int digestStream(std::FILE* stream, Digest& digest, WorkMeter* meter) {
    // The stream's own buffer sets how often the system is asked for data; streams from
    // openFileStream have one sized to the file.
    Md5Context context;
    context.init();
    unsigned char piece[READ_SIZE];
    std::size_t count;
    while ((count = std::fread(piece, 1, READ_SIZE, stream)) > 0) {
        context.update(piece, static_cast<std::uint32_t>(count));
        if (meter != nullptr && !meter->advance(count)) {
            context.finish(digest);
            return DIGEST_STOPPED;
        }
    }
    context.finish(digest);
    return std::ferror(stream) ? -1 : 0;
}

int digestStream(std::FILE* stream, Algorithm algorithm, Digest& digest, WorkMeter* meter,
                 std::size_t length) {
    if (algorithm == Algorithm::Md5 && (length == 0 || length == digestLength(algorithm))) {
        return digestStream(stream, digest, meter);
    }
    Hasher hasher;
    if (!hasher.begin(algorithm, length)) {
        digest = Digest::of(algorithm);
        return -1;
    }
    unsigned char piece[READ_SIZE];
    std::size_t count;
    while ((count = std::fread(piece, 1, READ_SIZE, stream)) > 0) {
        hasher.update(piece, count);
        if (meter != nullptr && !meter->advance(count)) {
            hasher.finish(digest);
            return DIGEST_STOPPED;
        }
    }
    hasher.finish(digest);
    return std::ferror(stream) ? -1 : 0;
}

std::string toHex(const Digest& digest) {
    static constexpr char DIGITS[] = "0123456789abcdef";
    std::string hex(2 * digest.size(), '0');
    for (std::size_t i = 0; i < digest.size(); ++i) {
        hex[2 * i] = DIGITS[digest[i] >> 4];
        hex[2 * i + 1] = DIGITS[digest[i] & 15];
    }
    return hex;
}
