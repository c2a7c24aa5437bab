// Arbitrary bytes as a checksum list: through readListLine alone, then through verifyList with
// verbose off and on. Every entry found must come back the same from the line formatListLine
// writes for it. Run it from a folder that holds the small files the seed lists name.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/checksum_list.h"
#include "engine/list_line.h"

namespace {

void check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

// Reads every byte of every result, so that the sanitizers see any pointer that is not sound.
class TouchingSink : public ResultSink {
public:
    void addResult(const char* name, const Digest* expected, const Digest* actual,
                   int status) override {
        check(name != nullptr && expected != nullptr);
        check(status == STATUS_FAILED || status == STATUS_OK || status == STATUS_UNREADABLE);
        check(actual != nullptr || status == STATUS_UNREADABLE);
        check(actual == nullptr || actual->algorithm == expected->algorithm);
        const std::size_t length = std::strlen(name);
        check(length <= MAX_NAME_BYTES);
        checksum += static_cast<unsigned>(length);
        for (std::uint8_t byte : *expected) {
            checksum += byte;
        }
        if (actual != nullptr) {
            for (std::uint8_t byte : *actual) {
                checksum += byte;
            }
            check(status == STATUS_UNREADABLE || (*expected == *actual) == (status == STATUS_OK));
        }
        ++rows;
    }

    unsigned checksum = 0;
    int rows = 0;
};

std::FILE* openList(std::vector<char>& bytes) {
    static char empty[1];
    return bytes.empty() ? fmemopen(empty, 0, "r") : fmemopen(bytes.data(), bytes.size(), "r");
}

// The number of entries readListLine finds, checking what it hands back for each: a name of a
// length the system allows, which the line written for it gives back unchanged.
int countEntries(std::vector<char>& bytes) {
    std::FILE* list = openList(bytes);
    check(list != nullptr);
    Digest expected{};
    std::string name;
    int entries = 0;
    int result;
    while ((result = readListLine(list, expected, name)) >= 0) {
        check(result <= 2);
        if (result > 0) {
            check(name.size() <= MAX_NAME_BYTES && name.find('\0') == std::string::npos);
            check(expected.size() == digestLength(expected.algorithm) ||
                  (expected.algorithm == Algorithm::Blake2b512 && expected.size() > 0 &&
                   expected.size() < digestLength(expected.algorithm)));
            if (!name.empty()) {
                Digest again;
                std::string nameAgain;
                // Lines of BLAKE3 (b3sum's, untagged), CRC32 (SFV) and BLAKE2b of any length
                // read back from a list named for them; the others from any list.
                const bool named = expected.algorithm == Algorithm::Blake2b512 ||
                                   expected.algorithm == Algorithm::Blake3 ||
                                   expected.algorithm == Algorithm::Crc32;
                const LineKind kind = parseListLine(
                    formatListLine(expected, name),
                    named ? std::optional<Algorithm>(expected.algorithm) : std::nullopt, again,
                    nameAgain);
                check((kind == LineKind::BinaryEntry || kind == LineKind::TextEntry) &&
                      again == expected && nameAgain == name);
            }
            ++entries;
        }
    }
    std::fclose(list);
    return entries;
}

int verify(std::vector<char>& bytes, bool verbose, int entries) {
    std::FILE* list = openList(bytes);
    check(list != nullptr);
    TouchingSink sink;
    const int result = verifyList(list, sink, verbose, true);
    std::fclose(list);
    check(result >= 0 && result <= 3);
    check(sink.rows == entries); // every entry gives exactly one row, skipped lines none
    check(entries != 0 || result == 3);
    return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A '/' would let a list name any file of the system; names stay inside the current folder.
    std::vector<char> bytes(data, data + size);
    for (char& c : bytes) {
        if (c == '/') {
            c = '_';
        }
    }

    // The diagnostics are not of interest here; the fuzzer keeps its own output.
    static std::FILE* devNull = std::fopen("/dev/null", "w");
    std::FILE* savedStderr = stderr;
    stderr = devNull;
    const int entries = countEntries(bytes);
    const int quiet = verify(bytes, false, entries);
    const int verbose = verify(bytes, true, entries);
    stderr = savedStderr;

    check(quiet == verbose);
    return 0;
}
