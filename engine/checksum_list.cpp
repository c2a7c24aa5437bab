#include "engine/checksum_list.h"

#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "engine/file_digest.h"
#include "engine/hash_window.h"
#include "os/file_stream.h"

namespace {

const char* const PROGRAM = "md5sum";

constexpr int DIGEST_CHARS = 32;      // two hex digits per digest byte
constexpr int NAME_START = 34;        // digest, one space, the type marker
constexpr std::size_t MIN_REST = 2;   // a one-character name and its line feed
constexpr std::size_t MAX_REST = 255; // what the name buffer holds, counting the line feed

// What readLine returns, besides readListLine's results, for a line with a digest but no type
// marker: it is skipped like any other, but with a diagnostic.
constexpr int UNRECOGNIZED = 3;

// Lines read ahead of the file being reported; they hold the results of files hashed ahead
// while an older one is still being hashed.
constexpr std::size_t WINDOW = 2048;

// fgets returns at most 1023 characters; a longer line comes in pieces, each parsed alone.
using LineBuffer = char[1024];

// hexDigitValue of every character, looked up: the digits of every line go through it.
struct HexTable {
    signed char value[256];
    constexpr HexTable() : value() {
        for (int c = 0; c < 256; ++c) {
            value[c] = static_cast<signed char>(hexDigitValue(c));
        }
    }
};
constexpr HexTable HEX;

int hexValue(char c) {
    return HEX.value[static_cast<unsigned char>(c)];
}

int readLine(std::FILE* stream, Digest& expected, char (&name)[256], LineBuffer& line) {
    if (std::fgets(line, sizeof line, stream) == nullptr) {
        return -1;
    }
    // Checking character by character stops at the terminating NUL of a short line.
    for (int i = 0; i < DIGEST_CHARS; i += 2) {
        const int high = hexValue(line[i]);
        if (high < 0) {
            return 0;
        }
        const int low = hexValue(line[i + 1]);
        if (low < 0) {
            return 0;
        }
        expected[i / 2] = static_cast<std::uint8_t>(16 * high + low);
    }
    if (line[DIGEST_CHARS] != ' ') {
        return 0;
    }
    int type;
    switch (line[DIGEST_CHARS + 1]) {
    case ' ':
        type = 1;
        break;
    case '*':
        type = 2;
        break;
    default:
        return UNRECOGNIZED;
    }
    const char* rest = line + NAME_START;
    std::size_t length = std::strlen(rest);
    if (length < MIN_REST || length > MAX_REST) {
        return 0;
    }
    if (rest[length - 1] == '\n') {
        --length;
    }
    std::memcpy(name, rest, length);
    name[length] = '\0';
    return type;
}

void writeUnrecognized(const char* line) {
    std::fprintf(stderr, "%s: unrecognized line: %s", PROGRAM, line);
}

// A list saved with CR CR LF line ends keeps one CR after text-mode reading.
void trimName(char (&name)[256]) {
    const std::size_t length = std::strlen(name);
    if (length > 0 && (name[length - 1] == '\r' || name[length - 1] == '\n')) {
        name[length - 1] = '\0';
    }
}

const char* openMode(bool binary, int type) {
    return binary || type == 2 ? "rb" : "r";
}

// The outcome of each entry, in list order, as a row, diagnostics and the run's result. Both ways
// of hashing report through it, so they write the same bytes.
class Verification {
public:
    Verification(ResultSink& sink, bool verbose) : sink_(sink), verbose_(verbose) {}

    void cantOpen(const char* name, const Digest& expected) {
        noteName(name);
        // Nothing was hashed, so there is no actual digest to show.
        sink_.addResult(name, &expected, nullptr, STATUS_UNREADABLE);
        writeName(name);
        std::fprintf(stderr, "%s: can't open %s\n", PROGRAM, name);
        errorStatus_ = 2;
    }

    void hashed(const char* name, const Digest& expected, const Digest& actual, bool readError) {
        noteName(name);
        if (readError) {
            sink_.addResult(name, &expected, &actual, STATUS_UNREADABLE);
            writeName(name);
            std::fprintf(stderr, "%s: error reading %s\n", PROGRAM, name);
            errorStatus_ = 2;
            return;
        }
        writeName(name);
        if (expected == actual) {
            if (verbose_) {
                std::fprintf(stderr, "OK\n");
            }
            sink_.addResult(name, &expected, &actual, STATUS_OK);
        } else {
            sink_.addResult(name, &expected, &actual, STATUS_FAILED);
            if (verbose_) {
                std::fprintf(stderr, "FAILED\n");
            } else {
                std::fprintf(stderr, "%s: MD5 check failed for '%s'\n", PROGRAM, name);
            }
            ++failed_;
        }
        ++checked_;
    }

    // The closing messages and the run's result.
    int finish() {
        if (verbose_ && failed_ != 0) {
            std::fprintf(stderr, "%s: %d of %d file(s) failed MD5 check\n", PROGRAM, failed_,
                         checked_);
        }
        if (checked_ == 0) {
            std::fprintf(stderr, "%s: no files checked\n", PROGRAM);
            return 3;
        }
        if (errorStatus_ == 2) {
            return 2;
        }
        return failed_ != 0 ? 1 : 0;
    }

private:
    // In verbose mode every outcome follows the name, padded to the widest name so far. The name
    // is written together with the outcome, so that a file stopped part-way leaves no trace.
    void noteName(const char* name) {
        const std::size_t length = std::strlen(name);
        if (verbose_ && length > nameWidth_) {
            nameWidth_ = static_cast<unsigned>(length);
        }
    }
    void writeName(const char* name) {
        if (verbose_) {
            std::fprintf(stderr, "%-*s ", static_cast<int>(nameWidth_), name);
        }
    }

    ResultSink& sink_;
    bool verbose_;
    unsigned nameWidth_ = 14;
    int checked_ = 0;
    int failed_ = 0;
    int errorStatus_ = 0;
};

// A list line read ahead and not yet reported.
struct PendingLine {
    enum class Kind { Entry, Unopened, Unrecognized };
    Kind kind = Kind::Entry;
    char name[256];
    Digest expected{};
    std::string line; // an unrecognized line, for its diagnostic
};

} // namespace

int readListLine(std::FILE* stream, Digest& expected, char (&name)[256]) {
    LineBuffer line;
    const int type = readLine(stream, expected, name, line);
    if (type == UNRECOGNIZED) {
        writeUnrecognized(line);
        return 0;
    }
    return type;
}

int countListEntries(std::FILE* list, WorkMeter* meter) {
    LineBuffer line;
    Digest expected;
    char name[256];
    int entries = 0;
    int type;
    while ((type = readLine(list, expected, name, line)) >= 0) {
        if (meter != nullptr && !meter->advance(0)) {
            return -1;
        }
        entries += type == 1 || type == 2 ? 1 : 0;
    }
    return entries;
}

int verifyListOneAtATime(std::FILE* list, ResultSink& sink, bool verbose, bool binary,
                         WorkMeter* meter) {
    Verification run(sink, verbose);
    Digest expected{};
    Digest actual{};
    char name[256];
    for (;;) {
        // Asked once per line, so that a long list of names that cannot be hashed still lets the
        // watcher in.
        if (meter != nullptr && !meter->advance(0)) {
            return VERIFY_STOPPED;
        }
        const int type = readListLine(list, expected, name);
        if (type < 0) {
            break;
        }
        if (type == 0) {
            continue;
        }
        trimName(name);
        std::int64_t size = -1;
        std::FILE* file = openFileStream(name, openMode(binary, type), &size);
        if (file == nullptr) {
            run.cantOpen(name, expected);
            continue;
        }
        if (meter != nullptr) {
            meter->beginFile(name, size);
        }
        const int read = digestStream(file, actual, meter);
        std::fclose(file);
        if (read == DIGEST_STOPPED) {
            return VERIFY_STOPPED;
        }
        run.hashed(name, expected, actual, read != 0);
    }
    return run.finish();
}

int verifyList(std::FILE* list, ResultSink& sink, bool verbose, bool binary, WorkMeter* meter) {
    auto window = std::unique_ptr<HashWindow>(new (std::nothrow) HashWindow(WINDOW));
    auto pending = std::unique_ptr<PendingLine[]>(new (std::nothrow) PendingLine[WINDOW]);
    if (window == nullptr || !window->valid() || pending == nullptr) {
        return verifyListOneAtATime(list, sink, verbose, binary, meter);
    }
    Verification run(sink, verbose);
    bool listEnded = false;
    LineBuffer line;
    for (;;) {
        // 1. Report, in list order, every line whose outcome is known. Each file's bytes reach
        //    the meter before its result, so a stop part-way leaves the file without one.
        while (!window->empty()) {
            PendingLine& front = pending[window->front()];
            const HashWindow::Front state = window->settleFront(meter, front.name);
            if (state == HashWindow::Front::Stopped) {
                return VERIFY_STOPPED;
            }
            if (state == HashWindow::Front::Hashing) {
                break;
            }
            switch (front.kind) {
            case PendingLine::Kind::Unrecognized:
                writeUnrecognized(front.line.c_str());
                break;
            case PendingLine::Kind::Unopened:
                run.cantOpen(front.name, front.expected);
                break;
            case PendingLine::Kind::Entry:
                run.hashed(front.name, front.expected, window->frontDigest(),
                           window->frontReadError());
                break;
            }
            window->pop();
        }

        // 2. Read on in the list while a file could start hashing; lines that name no file
        //    that opens wait in the window for their turn like the others.
        while (!listEnded && window->canAddFile()) {
            if (meter != nullptr && !meter->advance(0)) {
                return VERIFY_STOPPED;
            }
            Digest expected{};
            char name[256];
            const int type = readLine(list, expected, name, line);
            if (type < 0) {
                listEnded = true;
                break;
            }
            if (type == 0) {
                continue;
            }
            if (type == UNRECOGNIZED) {
                PendingLine& item = pending[window->add()];
                item.kind = PendingLine::Kind::Unrecognized;
                item.line = line;
                continue;
            }
            trimName(name);
            std::int64_t size = -1;
            const int fd = openReadDescriptor(name, &size);
            const bool text = !binary && type != 2; // the mode openMode chooses
            PendingLine& item = pending[fd < 0 ? window->add() : window->addFile(fd, size, text)];
            item.kind = fd < 0 ? PendingLine::Kind::Unopened : PendingLine::Kind::Entry;
            std::strcpy(item.name, name);
            item.expected = expected;
        }

        // 3. Hash a round, and let the meter in at least once a round.
        if (window->hashing()) {
            if (!window->work(meter)) {
                return VERIFY_STOPPED;
            }
        } else if (listEnded && window->empty()) {
            break;
        }
    }
    return run.finish();
}
