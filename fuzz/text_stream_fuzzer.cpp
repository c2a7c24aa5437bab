// Arbitrary file contents read through a text-mode stream of openFileStream, with buffering and
// read sizes picked by the input, against a plain rendering of the text-mode rule: each CR LF
// pair arrives as LF and every other byte unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include <sys/mman.h>
#include <unistd.h>

#include "os/file_stream.h"

namespace {

void check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

std::string textOf(const std::uint8_t* data, std::size_t size) {
    std::string out;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\r' && i + 1 < size && data[i + 1] == '\n') {
            continue;
        }
        out.push_back(static_cast<char>(data[i]));
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    // The first two bytes choose how to read; the rest is the file.
    const unsigned buffering = data[0] % 4;
    const std::size_t readSize = data[1] % 32 + 1;
    data += 2;
    size -= 2;

    // An in-memory regular file, reopened by its /proc path as any named file would be.
    static const int fd = memfd_create("text_stream_fuzzer", MFD_CLOEXEC);
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    check(fd >= 0 && ftruncate(fd, 0) == 0);
    check(pwrite(fd, data, size, 0) == static_cast<ssize_t>(size));

    std::FILE* in = openFileStream(path.c_str(), "r");
    check(in != nullptr);
    static char buffer[64];
    if (buffering == 1) {
        check(std::setvbuf(in, nullptr, _IONBF, 0) == 0);
    } else if (buffering == 2) {
        check(std::setvbuf(in, buffer, _IOFBF, readSize) == 0);
    }

    std::string got;
    if (buffering == 3) {
        int c;
        while ((c = std::fgetc(in)) != EOF) {
            got.push_back(static_cast<char>(c));
        }
    } else {
        char chunk[BUFSIZ * 2];
        // Requests of every size from a few bytes to past the stream's buffer.
        const std::size_t request = buffering == 0 ? readSize * 500 : readSize;
        std::size_t n;
        while ((n = std::fread(chunk, 1, request, in)) > 0) {
            got.append(chunk, n);
        }
    }
    check(!std::ferror(in));
    check(std::feof(in));
    std::fclose(in);
    check(got == textOf(data, size));
    return 0;
}
