// Arbitrary bytes as a checksum list, verified both ways: side by side (verifyList) and one file
// at a time (verifyListOneAtATime). Rows, stderr bytes, results and what a meter heard must be
// the same. The first byte chooses verbose and binary mode and whether, and after how many
// bytes hashed, the meter asks to stop; the list's length, even or odd, whether side by side
// the files are read ahead as for a solid-state or a spinning disk. Run it from a folder that holds
// the files the seed lists name (see fuzz/run.sh): files of 0, 1, 55, 56, 63, 64 and 65 bytes, one
// of a few MiB, a folder.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/checksum_list.h"
#include "os/read_ahead.h"

namespace {

void check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

struct Row {
    std::string name;
    bool hasExpected;
    Digest expected;
    bool hasActual;
    Digest actual;
    int status;
    bool operator==(const Row&) const = default;
};

class RecordingSink : public ResultSink {
public:
    void addResult(const char* name, const Digest* expected, const Digest* actual,
                   int status) override {
        Row row{name, expected != nullptr, {}, actual != nullptr, {}, status};
        if (expected != nullptr) {
            row.expected = *expected;
        }
        if (actual != nullptr) {
            row.actual = *actual;
        }
        rows.push_back(row);
    }
    std::vector<Row> rows;
};

// Hears everything, and asks to stop once stopAt bytes have been hashed.
class Meter : public WorkMeter {
public:
    explicit Meter(std::uint64_t stopAt) : stopAt_(stopAt) {}
    bool advance(std::uint64_t bytes) override {
        total += bytes;
        return total < stopAt_;
    }
    void beginFile(const char* name, std::int64_t size) override {
        files += name;
        files += ':' + std::to_string(size) + '\n';
    }
    std::uint64_t total = 0;
    std::string files;

private:
    std::uint64_t stopAt_;
};

struct Outcome {
    int result;
    std::vector<Row> rows;
    std::string messages;
    std::uint64_t total;
    std::string files;
};

Outcome verify(bool sideBySide, std::vector<char>& list, bool verbose, bool binary,
               std::uint64_t stopAt) {
    static char empty[1];
    std::FILE* in =
        list.empty() ? fmemopen(empty, 0, "r") : fmemopen(list.data(), list.size(), "r");
    check(in != nullptr);
    char* buffer = nullptr;
    std::size_t length = 0;
    std::FILE* captured = open_memstream(&buffer, &length);
    check(captured != nullptr);
    std::FILE* savedStderr = stderr;
    stderr = captured;

    RecordingSink sink;
    Meter meter(stopAt);
    const int result = sideBySide ? verifyList(in, sink, verbose, binary, &meter)
                                  : verifyListOneAtATime(in, sink, verbose, binary, &meter);
    stderr = savedStderr;
    std::fclose(captured);
    std::fclose(in);
    Outcome outcome{result, sink.rows, std::string(buffer, length), meter.total, meter.files};
    std::free(buffer);
    return outcome;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::uint8_t flags = data[0];
    const bool verbose = (flags & 1) != 0;
    const bool binary = (flags & 2) != 0;
    // Stops, when asked for, after 29 k^3 bytes for k below 32: inside and between the small
    // files, and all through the first MiB of the large one.
    const std::uint64_t k = flags >> 3;
    const std::uint64_t stopAt = (flags & 4) != 0 ? 29 * k * k * k : ~std::uint64_t{0};

    // A '/' would let a list name any file of the system; names stay inside the current folder.
    std::vector<char> list(data + 1, data + size);
    for (char& c : list) {
        if (c == '/') {
            c = '_';
        }
    }
    forceReadAhead(list.size() % 2 == 0 ? ReadAheadChoice::Parallel : ReadAheadChoice::Rotational);
    const Outcome side = verify(true, list, verbose, binary, stopAt);
    const Outcome one = verify(false, list, verbose, binary, stopAt);
    check(side.result == one.result);
    check(side.messages == one.messages);
    check(side.rows == one.rows);
    if (one.result != VERIFY_STOPPED) {
        check(side.total == one.total);
        check(side.files == one.files);
    }
    return 0;
}
