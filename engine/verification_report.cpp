#include "engine/verification_report.h"

#include <cerrno>
#include <cstdio>

namespace {

const char* const PROGRAM = "md5sum";

// A name as diagnostics show it. A line feed in it would break the message in two, so such a
// name is shown in the escaped form of checksum lists, backslashes doubled as well.
std::string shownName(const std::string& name) {
    if (name.find('\n') == std::string::npos) {
        return name;
    }
    std::string shown;
    for (char c : name) {
        if (c == '\\') {
            shown += "\\\\";
        } else if (c == '\n') {
            shown += "\\n";
        } else {
            shown += c;
        }
    }
    return shown;
}

// "MD5", or the tags of every kind of digest compared ("MD5/SHA256", "BLAKE2b-256/BLAKE2b") in
// a list that mixes them: algorithms in their order, BLAKE2b's lengths shortest first.
std::string tagsOf(unsigned algorithms, std::uint64_t blake2bLengths) {
    std::string tags;
    auto add = [&tags](const std::string& tag) { tags += tags.empty() ? tag : "/" + tag; };
    for (int i = 0; i < ALGORITHM_COUNT; ++i) {
        const auto algorithm = static_cast<Algorithm>(i);
        if (algorithm == Algorithm::Blake2b512) {
            for (std::size_t length = 1; length <= MAX_DIGEST_BYTES; ++length) {
                if ((blake2bLengths >> (length - 1) & 1) != 0) {
                    add(algorithmTag(algorithm, length));
                }
            }
        } else if ((algorithms & (1u << i)) != 0) {
            add(algorithmTag(algorithm));
        }
    }
    return tags;
}

} // namespace

void VerificationReport::notUnderstood(const std::string& line) {
    std::fprintf(stderr, "%s: unrecognized line: %s", PROGRAM, line.c_str());
    sink_.lineNotUnderstood();
}

void VerificationReport::cantOpen(const std::string& name, const Digest& expected, int error) {
    // Nothing was hashed, so there is no actual digest to show.
    sink_.addUnreadResult(name.c_str(), &expected, STATUS_UNREADABLE, error);
    const std::string shown = shownName(name);
    writeName(shown);
    std::fprintf(stderr, "%s: can't open %s\n", PROGRAM, shown.c_str());
    errorStatus_ = 2;
}

void VerificationReport::hashed(const std::string& name, const Digest& expected,
                                const Digest& actual, bool readError) {
    const std::string shown = shownName(name);
    if (readError) {
        // The digest of what was read before the error is no checksum of the file: the row shows
        // none, so that no pasted checksum ever matches a file that could not be read.
        sink_.addUnreadResult(name.c_str(), &expected, STATUS_UNREADABLE, EIO);
        writeName(shown);
        std::fprintf(stderr, "%s: error reading %s\n", PROGRAM, shown.c_str());
        errorStatus_ = 2;
        return;
    }
    writeName(shown);
    checkedAlgorithms_ |= 1u << static_cast<int>(expected.algorithm);
    if (expected.algorithm == Algorithm::Blake2b512) {
        checkedBlake2bLengths_ |= std::uint64_t{1} << (expected.length - 1);
    }
    if (expected == actual) {
        if (verbose_) {
            std::fprintf(stderr, "OK\n");
        }
        sink_.addResult(name.c_str(), &expected, &actual, STATUS_OK);
    } else {
        sink_.addResult(name.c_str(), &expected, &actual, STATUS_FAILED);
        if (verbose_) {
            std::fprintf(stderr, "FAILED\n");
        } else {
            std::fprintf(stderr, "%s: %s check failed for '%s'\n", PROGRAM,
                         algorithmTag(expected.algorithm, expected.length).c_str(), shown.c_str());
        }
        ++failed_;
    }
    ++checked_;
}

int VerificationReport::finish() {
    if (verbose_ && failed_ != 0) {
        std::fprintf(stderr, "%s: %d of %d file(s) failed %s check\n", PROGRAM, failed_, checked_,
                     tagsOf(checkedAlgorithms_, checkedBlake2bLengths_).c_str());
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

void VerificationReport::writeName(const std::string& shown) {
    if (!verbose_) {
        return;
    }
    if (shown.size() > nameWidth_) {
        nameWidth_ = shown.size();
    }
    std::fprintf(stderr, "%-*s ", static_cast<int>(nameWidth_), shown.c_str());
}
