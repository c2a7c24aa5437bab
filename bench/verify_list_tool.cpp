// Verifies one checksum list the way the window's "Check Files" mode does: opens it in text mode,
// makes its folder the current directory and runs verifyList with a sink that renders both digests
// as the result list would. Nothing is printed per file; bench/verify_list_vs_md5sum.sh and
// bench/side_by_side_vs_md5sum.sh time this program against md5sum -c. With --one-at-a-time it
// runs verifyListOneAtATime instead. The exit status is the verification's result (4: the list
// cannot be opened).
// Usage: verify_list_tool [--one-at-a-time] LIST
#include <cstdio>
#include <cstring>
#include <string>

#include <unistd.h>

#include "engine/checksum_list.h"
#include "engine/file_digest.h"
#include "os/file_stream.h"

namespace {

class HexSink : public ResultSink {
public:
    void addResult(const char* name, const Digest* expected, const Digest* actual,
                   int status) override {
        const std::string expectedHex = expected != nullptr ? toHex(*expected) : std::string();
        const std::string actualHex = actual != nullptr ? toHex(*actual) : std::string();
        characters += std::strlen(name) + expectedHex.size() + actualHex.size();
        ++rows[status];
    }

    std::size_t characters = 0;
    unsigned rows[3] = {};
};

} // namespace

int main(int argc, char** argv) {
    const bool oneAtATime = argc == 3 && std::strcmp(argv[1], "--one-at-a-time") == 0;
    if (argc != 2 && !oneAtATime) {
        std::fprintf(stderr, "usage: %s [--one-at-a-time] LIST\n", argv[0]);
        return 4;
    }
    const char* path = argv[argc - 1];
    std::FILE* list = openFileStream(path, "r");
    if (list == nullptr) {
        std::perror(path);
        return 4;
    }
    const char* slash = std::strrchr(path, '/');
    if (slash != nullptr) {
        const std::string folder(path, slash == path ? 1 : slash - path);
        if (chdir(folder.c_str()) != 0) {
            std::perror(folder.c_str());
            std::fclose(list);
            return 4;
        }
    }
    HexSink sink;
    // The list's name tells what 128 untagged hex digits mean (B2SUMS), as in the window.
    const int result = oneAtATime ? verifyListOneAtATime(list, sink, false, true, nullptr, path)
                                  : verifyList(list, sink, false, true, nullptr, path);
    std::fclose(list);
    std::printf("%u OK, %u failed, %u unreadable\n", sink.rows[STATUS_OK], sink.rows[STATUS_FAILED],
                sink.rows[STATUS_UNREADABLE]);
    return result;
}
