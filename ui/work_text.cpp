#include "ui/work_text.h"

#include <cctype>
#include <cmath>
#include <cstdio>

#include "engine/pasted_checksum.h"

namespace {

std::string count(int n, const char* one, const char* many) {
    return groupedNumber(n) + " " + (n == 1 ? one : many);
}

// What was found in dropped folders besides files, said after the rest: "; 2 special files
// passed over".
std::string foundBesides(const DropTally& tally) {
    std::string text;
    if (tally.passedOver > 0) {
        text += "; " + count(tally.passedOver, "special file", "special files") + " passed over";
    }
    if (tally.linksToFolders > 0) {
        text += "; " + count(tally.linksToFolders, "link to a folder", "links to folders") +
                " not followed";
    }
    return text;
}

// The article goes by the sound: MD5 is said letter by letter ("an em-dee-five"), SHA and
// BLAKE as words ("a SHA-256").
const char* articleFor(const std::string& name) {
    return name.rfind("MD5", 0) == 0 ? "an " : "a ";
}

} // namespace

// The outcome without the time it took.
static std::string outcomeWords(const DropTally& tally);

std::string groupedNumber(long long n) {
    const std::string digits = std::to_string(n < 0 ? -n : n);
    std::string grouped = n < 0 ? "-" : "";
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            grouped += ',';
        }
        grouped += digits[i];
    }
    return grouped;
}

std::string rateText(double bytesPerSecond) {
    static const char* const UNITS[] = {"B/s", "kB/s", "MB/s", "GB/s", "TB/s"};
    double value = bytesPerSecond > 0 ? bytesPerSecond : 0;
    std::size_t unit = 0;
    while (value >= 999.5 && unit + 1 < std::size(UNITS)) {
        value /= 1000;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, value < 9.95 && unit > 0 ? "%.1f %s" : "%.0f %s", value,
                  UNITS[unit]);
    return text;
}

std::string timeLeftText(double seconds) {
    const long long whole = seconds > 0 ? static_cast<long long>(std::ceil(seconds)) : 0;
    if (whole < 60) {
        return std::to_string(whole) + " s left";
    }
    const long long minutes = (whole + 59) / 60;
    if (minutes < 60) {
        return std::to_string(minutes) + " min left";
    }
    return groupedNumber(minutes / 60) + " h " + std::to_string(minutes % 60) + " min left";
}

std::string durationText(double seconds) {
    if (seconds < 59.95) {
        char text[32];
        std::snprintf(text, sizeof text, "%.1f s", seconds > 0 ? seconds : 0.0);
        return text;
    }
    const long long whole = std::llround(seconds);
    if (whole < 3600) {
        return std::to_string(whole / 60) + " min " + std::to_string(whole % 60) + " s";
    }
    const long long minutes = (whole + 30) / 60;
    return groupedNumber(minutes / 60) + " h " + std::to_string(minutes % 60) + " min";
}

std::string outcomeText(const DropTally& tally) {
    std::string text = outcomeWords(tally);
    if (tally.seconds >= 0) {
        text += " in " + durationText(tally.seconds);
        if (tally.bytes > 0 && tally.seconds > 0) {
            text += ", " + rateText(double(tally.bytes) / tally.seconds);
        }
    }
    return text;
}

static std::string outcomeWords(const DropTally& tally) {
    if (tally.stopped) {
        std::string text = "Stopped after " + groupedNumber(tally.done());
        if (tally.total >= 0) {
            return text + " of " + count(tally.total, "file", "files");
        }
        return text + (tally.done() == 1 ? " file" : " files");
    }
    if (tally.checking) {
        // What is said whatever else came of the drop, each after a "; ".
        std::string besides;
        if (tally.notUnderstood > 0) {
            besides += "; " + count(tally.notUnderstood, "line", "lines") + " not understood";
        }
        if (tally.listsNotOpened > 0) {
            besides += "; " + count(tally.listsNotOpened, "list", "lists") + " could not be opened";
        }
        for (const std::string& folder : tally.foldersWithoutList) {
            besides += "; no checksum list in " + folder;
        }
        for (const std::string& folder : tally.foldersNotRead) {
            besides += "; folder " + folder + " could not be read";
        }
        for (const std::string& file : tally.withoutList) {
            besides += "; no checksum list found for " + file +
                       ": press Ctrl+V to compare it with a published checksum";
        }
        for (const std::string& signature : tally.signatures) {
            besides += "; " + signature;
        }
        const std::string verdict = tally.badSignature ? "FAILED: " : "";
        if (tally.checked() == 0) {
            // With no list read, that is all there is to say: "No checksum list in photos".
            if (tally.lists == 0 && !besides.empty()) {
                besides.erase(0, 2);
                besides[0] =
                    static_cast<char>(std::toupper(static_cast<unsigned char>(besides[0])));
                return verdict + besides;
            }
            return verdict + "No files checked" + besides;
        }
        std::string parts;
        const auto add = [&parts](int n, const char* what) {
            if (n > 0) {
                parts += (parts.empty() ? "" : ", ") + groupedNumber(n) + " " + what;
            }
        };
        add(tally.ok, "OK");
        add(tally.failed, "FAILED");
        add(tally.unreadable, "could not be read");
        const std::string lists = tally.lists > 1 ? groupedNumber(tally.lists) + " lists, " : "";
        return verdict + lists + count(tally.checked(), "file", "files") + " checked: " + parts +
               besides;
    }
    std::string text = tally.ok == 0 ? std::string("No checksums generated")
                                     : count(tally.ok, "checksum", "checksums") + " generated";
    // Generating, a failed row is a file not read, an unreadable one a folder not read.
    if (tally.failed > 0) {
        text += ", " + count(tally.failed, "file", "files") + " could not be read";
    }
    if (tally.unreadable > 0) {
        text += ", " + count(tally.unreadable, "folder", "folders") + " could not be read";
    }
    return text + foundBesides(tally);
}

std::string comparisonText(const PastedChecksum& checksum, const std::string& firstMatch,
                           int matches, bool algorithmShown) {
    if (matches > 0) {
        std::string text = "Matches " + firstMatch;
        return matches == 1 ? text : text + " and " + groupedNumber(matches - 1) + " more";
    }
    // "SHA-256", or "SHA-512 or BLAKE2b" for digits that may be either. BLAKE2b of another
    // length than 512 bits is named with it ("BLAKE2b-256"); new checksums are never of such a
    // length, so choosing an algorithm would not help.
    std::string algorithms;
    bool canChoose = true;
    for (int i = 0; i < ALGORITHM_COUNT; ++i) {
        const auto algorithm = static_cast<Algorithm>(i);
        if (!checksum.mayBe(algorithm)) {
            continue;
        }
        std::string title = algorithmTitle(algorithm);
        const std::size_t length = checksum.hex.size() / 2;
        if (algorithm == Algorithm::Blake2b512 && length != digestLength(algorithm)) {
            title = algorithmTag(algorithm, length);
            canChoose = false;
        }
        algorithms += (algorithms.empty() ? "" : " or ") + title;
    }
    if (algorithmShown || !canChoose) {
        return "No row matches this " + algorithms + " checksum";
    }
    return "No row holds " + std::string(articleFor(algorithms)) + algorithms +
           " checksum: choose " + algorithms + " and drop the file again";
}
