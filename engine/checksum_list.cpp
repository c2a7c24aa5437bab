#include "engine/checksum_list.h"

#include <cstring>

#include "engine/file_digest.h"
#include "platform/file_stream.h"

namespace {

const char* const PROGRAM = "md5sum";

constexpr int DIGEST_CHARS = 32;      // two hex digits per digest byte
constexpr int NAME_START = 34;        // digest, one space, the type marker
constexpr std::size_t MIN_REST = 2;   // a one-character name and its line feed
constexpr std::size_t MAX_REST = 255; // what the name buffer holds, counting the line feed

// Parses one line as read by fgets: 0 for a line that is skipped, 1 or 2 for an entry. A line
// whose type marker is wrong is reported when `report` is set.
int parseListLine(const char* line, Digest& expected, char (&name)[256], bool report) {
    // Checking character by character stops at the terminating NUL of a short line.
    for (int i = 0; i < DIGEST_CHARS; i += 2) {
        const int high = hexDigitValue(line[i]);
        if (high < 0) {
            return 0;
        }
        const int low = hexDigitValue(line[i + 1]);
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
        if (report) {
            std::fprintf(stderr, "%s: unrecognized line: %s", PROGRAM, line);
        }
        return 0;
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

} // namespace

int readListLine(std::FILE* stream, Digest& expected, char (&name)[256]) {
    // fgets returns at most 1023 characters; a longer line comes in pieces, each parsed alone.
    char line[1024];
    if (std::fgets(line, sizeof line, stream) == nullptr) {
        return -1;
    }
    return parseListLine(line, expected, name, true);
}

int countListEntries(std::FILE* list, WorkMeter* meter) {
    char line[1024];
    Digest expected;
    char name[256];
    int entries = 0;
    while (std::fgets(line, sizeof line, list) != nullptr) {
        if (meter != nullptr && !meter->advance(0)) {
            return -1;
        }
        entries += parseListLine(line, expected, name, false) > 0 ? 1 : 0;
    }
    return entries;
}

int verifyList(std::FILE* list, ResultSink& sink, bool verbose, bool binary, WorkMeter* meter) {
    Digest expected{};
    Digest actual{};
    char name[256];
    unsigned nameWidth = 14;
    int checked = 0;
    int failed = 0;
    int errorStatus = 0;

    // In verbose mode every outcome follows the name, padded to the widest name so far. The name
    // is written together with the outcome, so that a file stopped part-way leaves no trace.
    const auto writeName = [&] {
        if (verbose) {
            std::fprintf(stderr, "%-*s ", static_cast<int>(nameWidth), name);
        }
    };

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
        // A list saved with CR CR LF line ends keeps one CR after text-mode reading.
        std::size_t length = std::strlen(name);
        if (length > 0 && (name[length - 1] == '\r' || name[length - 1] == '\n')) {
            name[--length] = '\0';
        }
        if (verbose && length > nameWidth) {
            nameWidth = static_cast<unsigned>(length);
        }

        std::int64_t size = -1;
        std::FILE* file = openFileStream(name, binary || type == 2 ? "rb" : "r", &size);
        if (file == nullptr) {
            // Nothing was hashed, so there is no actual digest to show.
            sink.addResult(name, &expected, nullptr, STATUS_UNREADABLE);
            writeName();
            std::fprintf(stderr, "%s: can't open %s\n", PROGRAM, name);
            errorStatus = 2;
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
        if (read != 0) {
            sink.addResult(name, &expected, &actual, STATUS_UNREADABLE);
            writeName();
            std::fprintf(stderr, "%s: error reading %s\n", PROGRAM, name);
            errorStatus = 2;
            continue;
        }

        writeName();
        if (expected == actual) {
            if (verbose) {
                std::fprintf(stderr, "OK\n");
            }
            sink.addResult(name, &expected, &actual, STATUS_OK);
        } else {
            sink.addResult(name, &expected, &actual, STATUS_FAILED);
            if (verbose) {
                std::fprintf(stderr, "FAILED\n");
            } else {
                std::fprintf(stderr, "%s: MD5 check failed for '%s'\n", PROGRAM, name);
            }
            ++failed;
        }
        ++checked;
    }

    if (verbose && failed != 0) {
        std::fprintf(stderr, "%s: %d of %d file(s) failed MD5 check\n", PROGRAM, failed, checked);
    }
    if (checked == 0) {
        std::fprintf(stderr, "%s: no files checked\n", PROGRAM);
        return 3;
    }
    if (errorStatus == 2) {
        return 2;
    }
    return failed != 0 ? 1 : 0;
}
