#include "engine/file_digest.h"

#include <atomic>
#include <cstdint>

#if defined(__GLIBC__)
#include <stdio_ext.h>
#endif

namespace {

constexpr std::size_t READ_SIZE = 1024;

// Through a stream's default buffer (at most BUFSIZ, usually the file system's 4 KiB block) the
// 1024-byte reads cost a read system call every few pieces. Lending the stream a large buffer
// cuts that for large files, and for small ones it spares the C library the file status query
// and allocation it makes for a buffer of its own. One buffer serves the one stream being hashed
// at a time: it is not allocated per call, and no stream keeps it beyond the call.
constexpr std::size_t LARGE_BUFFER_SIZE = 128 * 1024;
alignas(64) char largeBuffer[LARGE_BUFFER_SIZE];
std::atomic_flag largeBufferInUse;

// Gives stream the large buffer when that is allowed. Returns whether it did.
bool lendLargeBuffer(std::FILE* stream) {
#if defined(__GLIBC__)
    // setvbuf is only allowed on a stream that has not been used yet. glibc gives a stream its
    // buffer at the first read or seek, so a stream without one has not been read from or
    // positioned; a character pushed back with ungetc waits in a side buffer, which shows as
    // unread input.
    if (__fbufsize(stream) != 0 || stream->_IO_read_ptr != stream->_IO_read_end) {
        return false;
    }
    if (largeBufferInUse.test_and_set()) {
        return false; // another thread, or a read function of this stream, is hashing
    }
    if (std::setvbuf(stream, largeBuffer, _IOFBF, sizeof largeBuffer) != 0) {
        largeBufferInUse.clear();
        return false;
    }
    return true;
#else
    (void)stream;
    return false;
#endif
}

// Takes the large buffer back once reading has ended. The last read returned 0, so the buffer
// holds nothing unread and the stream can go on unbuffered. Should the stream refuse, the buffer
// stays with it for good rather than be shared with another stream.
void takeBackLargeBuffer(std::FILE* stream) {
    if (std::setvbuf(stream, nullptr, _IONBF, 0) == 0) {
        largeBufferInUse.clear();
    }
}

} // namespace

int digestStream(std::FILE* stream, Digest& digest) {
    Md5Context context;
    context.init();
    const bool lent = lendLargeBuffer(stream);

    unsigned char piece[READ_SIZE];
    std::size_t count;
    while ((count = std::fread(piece, 1, READ_SIZE, stream)) > 0) {
        context.update(piece, static_cast<std::uint32_t>(count));
    }
    context.finish(digest);
    const int result = std::ferror(stream) ? -1 : 0;

    if (lent) {
        takeBackLargeBuffer(stream);
    }
    return result;
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

int hexDigitValue(int character) {
    if (character >= '0' && character <= '9') {
        return character - '0';
    }
    if (character >= 'a' && character <= 'f') {
        return character - 'a' + 10;
    }
    return -1;
}
