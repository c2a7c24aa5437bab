// Hashes files the way the window's "Generate Checksums" mode does: opens each in binary mode
// and runs digestStream on it. Prints one md5sum-style line per file, so that
// bench/digest_stream_vs_md5sum.sh can time it against md5sum and compare the digests.
// Usage: digest_stream_tool [--portable|--avx512] FILE...
// The exit status is 1 when a file could not be opened or read, 2 for a path the CPU lacks.
#include <cstdio>
#include <cstring>

#include "engine/file_digest.h"
#include "engine/md5_dispatch.h"
#include "os/file_stream.h"

int main(int argc, char** argv) {
    int first = 1;
    if (argc > 1 &&
        (std::strcmp(argv[1], "--portable") == 0 || std::strcmp(argv[1], "--avx512") == 0)) {
        const Md5Path path = argv[1][2] == 'p' ? Md5Path::Portable : Md5Path::Avx512;
        if (!md5ForcePath(path)) {
            std::fprintf(stderr, "digest_stream_tool: this CPU cannot run %s\n", argv[1] + 2);
            return 2;
        }
        first = 2;
    }
    int status = 0;
    for (int i = first; i < argc; ++i) {
        std::FILE* stream = openFileStream(argv[i], "rb");
        if (stream == nullptr) {
            std::fprintf(stderr, "digest_stream_tool: %s: cannot open\n", argv[i]);
            status = 1;
            continue;
        }
        Digest digest;
        const int result = digestStream(stream, digest);
        std::fclose(stream);
        if (result != 0) {
            std::fprintf(stderr, "digest_stream_tool: %s: read error\n", argv[i]);
            status = 1;
            continue;
        }
        std::printf("%s  %s\n", toHex(digest).c_str(), argv[i]);
    }
    return status;
}
