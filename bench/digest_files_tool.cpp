// Hashes files the way the window's "Generate Checksums" mode does: digestFiles with the chosen
// algorithm, side by side. Prints each file's line as the coreutils tool of the algorithm does
// ("hex  name"), so that a comparison script can time the two and compare their digests.
// Usage: digest_files_tool [-a ALGORITHM] FILE...   (ALGORITHM as cksum -a names it; md5 first)
// The exit status is 1 when a file could not be opened or read, 2 for a misuse.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/digest_files.h"
#include "engine/file_digest.h"

namespace {

class Printer : public FileDigestSink {
public:
    void fileDigested(std::size_t, const std::string& path, const FileDigest& result) override {
        if (!result.opened || result.readError) {
            std::fprintf(stderr, "digest_files_tool: %s: cannot read\n", path.c_str());
            status = 1;
            return;
        }
        std::printf("%s  %s\n", toHex(result.digest).c_str(), path.c_str());
    }
    int status = 0;
};

} // namespace

int main(int argc, char** argv) {
    Algorithm algorithm = Algorithm::Md5;
    int first = 1;
    if (argc > 2 && std::strcmp(argv[1], "-a") == 0) {
        if (!algorithmFromOptionName(argv[2], algorithm)) {
            std::fprintf(stderr, "digest_files_tool: unknown algorithm %s\n", argv[2]);
            return 2;
        }
        first = 3;
    }
    const std::vector<std::string> paths(argv + first, argv + argc);
    Printer printer;
    digestFiles(paths, printer, nullptr, algorithm);
    return printer.status;
}
