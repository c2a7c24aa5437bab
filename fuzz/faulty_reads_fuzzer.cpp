// One file, checked through a one-line list side by side (verifyList) and one file at a time
// (verifyListOneAtATime) while its reads misbehave: they come back short, are interrupted, fail
// with EIO from an offset on, or cross a size the file system tells wrongly; side by side, the
// large pieces go through io_uring or through plain reads, and the ring's waits may fail every
// time (io_uring is used only on a local disk's file system). Whatever the reads do, both ways must
// give the same row: OK with the file's true digest, or unreadable exactly when some part of it
// could not be read. Reads failing from the file's very end are the one case left to the path:
// one that trusts a local disk's size never reads there (OK), one that reads on to the end of the
// file sees the error (unreadable); either is the truth, a wrong digest never is. Input bytes:
// flags, then the file's size, the offset reads fail from and the size told, three bytes each, then
// the seed of the short counts.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/checksum_list.h"
#include "engine/file_digest.h"
#include "engine/hasher.h"
#include "os/read_ahead.h"
#include "tests/support/faulty_reads.h"

namespace {

void check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

constexpr std::uint32_t MAX_SIZE = 700000;
constexpr long FUSE = 0x65735546;

std::uint32_t threeBytes(const std::uint8_t* data) {
    return data[0] | data[1] << 8 | data[2] << 16;
}

struct Row {
    int status = -1;
    bool hasActual = false;
    Digest actual;
};

class OneRowSink : public ResultSink {
public:
    void addResult(const char*, const Digest*, const Digest* actual, int status) override {
        ++rows;
        row.status = status;
        row.hasActual = actual != nullptr;
        if (actual != nullptr) {
            row.actual = *actual;
        }
    }
    int rows = 0;
    Row row;
};

Row verify(bool sideBySide, const std::string& line, FaultyReads& reads) {
    std::FILE* list = fmemopen(const_cast<char*>(line.data()), line.size(), "r");
    check(list != nullptr);
    std::FILE* savedStderr = stderr;
    stderr = std::fopen("/dev/null", "w");
    OneRowSink sink;
    {
        ScopedReadCalls installed(reads);
        if (sideBySide) {
            verifyList(list, sink, false, false);
        } else {
            verifyListOneAtATime(list, sink, false, false);
        }
    }
    std::fclose(stderr);
    stderr = savedStderr;
    std::fclose(list);
    check(sink.rows == 1);
    return sink.row;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 10) {
        return 0;
    }
    const std::uint8_t flags = data[0];
    const bool ring = (flags & 1) != 0;
    const bool text = (flags & 2) != 0;
    const Algorithm algorithm = (flags & 4) != 0 ? Algorithm::Sha256 : Algorithm::Md5;
    FaultyReads::Faults faults;
    faults.shortReads = (flags & 8) != 0;
    faults.interruptions = (flags & 16) != 0;
    const std::uint32_t fileSize = threeBytes(data + 1) % MAX_SIZE;
    if ((flags & 32) != 0) {
        faults.failFrom = threeBytes(data + 4) % (MAX_SIZE + 1);
    }
    // A local disk's file system tells sizes as they stand: only the others tell them wrongly.
    if ((flags & 64) != 0 && !ring) {
        faults.toldSize = threeBytes(data + 7) % (MAX_SIZE + 1);
    }
    std::uint32_t seed = 0;
    for (std::size_t i = 10; i < size; ++i) {
        seed = seed * 31 + data[i];
    }

    // The file's bytes: CR LF pairs and lone CRs among them, so that text mode has work.
    std::string bytes(fileSize, '\0');
    std::uint32_t x = seed | 1;
    for (char& c : bytes) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = (x & 15) == 0 ? '\r' : (x & 15) == 1 ? '\n' : static_cast<char>(x >> 8);
    }
    std::FILE* out = std::fopen("faulty", "wb");
    check(out != nullptr);
    check(std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size());
    check(std::fclose(out) == 0);

    std::string hashed = bytes;
    if (text) {
        hashed.clear();
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] != '\r' || i + 1 == bytes.size() || bytes[i + 1] != '\n') {
                hashed += bytes[i];
            }
        }
    }
    Hasher hasher;
    check(hasher.begin(algorithm));
    hasher.update(hashed.data(), hashed.size());
    Digest truth;
    hasher.finish(truth);
    const std::string line = toHex(truth) + (text ? "  " : " *") + "faulty\n";
    const bool unreadable = faults.failFrom >= 0 && faults.failFrom < fileSize;
    const bool failsAtTheEnd = faults.failFrom == fileSize;

    forceReadAhead(ReadAheadChoice::Parallel);
    for (bool sideBySide : {true, false}) {
        FaultyReads reads(seed);
        reads.plan("faulty", faults);
        reads.fileSystem = ring ? 0xEF53 : FUSE;
        reads.ringWaitsInterrupted = (flags & 128) != 0;
        const Row row = verify(sideBySide, line, reads);
        if (unreadable || (failsAtTheEnd && row.status == STATUS_UNREADABLE)) {
            check(row.status == STATUS_UNREADABLE && !row.hasActual);
        } else {
            check(row.status == STATUS_OK);
            check(row.hasActual && row.actual == truth);
        }
    }
    return 0;
}
