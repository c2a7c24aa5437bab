// Verifies one checksum list the way the window's "Check Files" mode does: opens it in text mode,
// makes its folder the current directory (or DIR, with -C) and runs verifyList with a sink that
// renders both digests as the result list would. Nothing is printed per file; the comparison
// scripts in bench/ time this program against md5sum -c. With --one-at-a-time it runs
// verifyListOneAtATime instead; --read-ahead=off, parallel or rotational chooses the read-ahead
// whatever the disk. The exit status is the verification's result (4: the list cannot be opened).
// Usage: verify_list_tool [--one-at-a-time] [--read-ahead=CHOICE] [-C DIR] LIST
#include <cstdio>
#include <cstring>
#include <string>

#include <unistd.h>

#include "engine/checksum_list.h"
#include "engine/file_digest.h"
#include "os/file_stream.h"
#include "os/read_ahead.h"

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

bool readAheadChoice(const char* name, ReadAheadChoice& choice) {
    const struct {
        const char* name;
        ReadAheadChoice choice;
    } choices[] = {{"off", ReadAheadChoice::Off},
                   {"parallel", ReadAheadChoice::Parallel},
                   {"rotational", ReadAheadChoice::Rotational}};
    for (const auto& known : choices) {
        if (std::strcmp(name, known.name) == 0) {
            choice = known.choice;
            return true;
        }
    }
    return false;
}

int usage(const char* program) {
    std::fprintf(stderr,
                 "usage: %s [--one-at-a-time] [--read-ahead=off|parallel|rotational] [-C DIR] "
                 "LIST\n",
                 program);
    return 4;
}

} // namespace

int main(int argc, char** argv) {
    bool oneAtATime = false;
    const char* folder = nullptr;
    int next = 1;
    for (; next < argc - 1; ++next) {
        ReadAheadChoice choice;
        if (std::strcmp(argv[next], "--one-at-a-time") == 0) {
            oneAtATime = true;
        } else if (std::strncmp(argv[next], "--read-ahead=", 13) == 0 &&
                   readAheadChoice(argv[next] + 13, choice)) {
            forceReadAhead(choice);
        } else if (std::strcmp(argv[next], "-C") == 0 && next + 2 < argc) {
            folder = argv[++next];
        } else {
            return usage(argv[0]);
        }
    }
    if (next != argc - 1) {
        return usage(argv[0]);
    }
    const char* path = argv[next];
    std::FILE* list = openFileStream(path, "r");
    if (list == nullptr) {
        std::perror(path);
        return 4;
    }
    std::string listFolder;
    if (folder == nullptr) {
        const char* slash = std::strrchr(path, '/');
        if (slash != nullptr) {
            listFolder.assign(path, slash == path ? 1 : slash - path);
            folder = listFolder.c_str();
        }
    }
    if (folder != nullptr && chdir(folder) != 0) {
        std::perror(folder);
        std::fclose(list);
        return 4;
    }
    HexSink sink;
    // The list's name tells what untagged hex digits mean (B2SUMS), as in the window.
    const int result = oneAtATime ? verifyListOneAtATime(list, sink, false, true, nullptr, path)
                                  : verifyList(list, sink, false, true, nullptr, path);
    std::fclose(list);
    std::printf("%u OK, %u failed, %u unreadable\n", sink.rows[STATUS_OK], sink.rows[STATUS_FAILED],
                sink.rows[STATUS_UNREADABLE]);
    return result;
}
