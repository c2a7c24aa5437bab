#include "ui/work_text.h"

#include <cmath>
#include <cstdio>

namespace {

std::string count(int n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

} // namespace

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
    return std::to_string(minutes / 60) + " h " + std::to_string(minutes % 60) + " min left";
}

std::string outcomeText(const DropTally& tally) {
    if (tally.stopped) {
        std::string text = "Stopped after " + std::to_string(tally.done());
        if (tally.total >= 0) {
            return text + " of " + count(tally.total, "file", "files");
        }
        return text + (tally.done() == 1 ? " file" : " files");
    }
    if (tally.checking) {
        // What was not understood is said whatever else came of the lists.
        const std::string notUnderstood =
            tally.notUnderstood == 0
                ? std::string()
                : "; " + count(tally.notUnderstood, "line", "lines") + " not understood";
        if (tally.done() == 0) {
            return "No files checked" + notUnderstood;
        }
        std::string parts;
        const auto add = [&parts](int n, const std::string& what) {
            if (n > 0) {
                parts += (parts.empty() ? "" : ", ") + std::to_string(n) + " " + what;
            }
        };
        add(tally.ok, "OK");
        add(tally.failed, "FAILED");
        add(tally.unreadable, "could not be read");
        const std::string lists = tally.lists > 1 ? std::to_string(tally.lists) + " lists, " : "";
        return lists + count(tally.done(), "file", "files") + " checked: " + parts + notUnderstood;
    }
    std::string text = tally.ok == 0 ? std::string("No checksums generated")
                                     : count(tally.ok, "checksum", "checksums") + " generated";
    const int notRead = tally.failed + tally.unreadable;
    if (notRead > 0) {
        text += ", " + count(notRead, "file", "files") + " could not be read";
    }
    return text;
}
