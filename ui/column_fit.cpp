#include "ui/column_fit.h"

#include <algorithm>
#include <numeric>

namespace {

int sum(const ColumnWidths& widths) {
    return std::accumulate(widths.begin(), widths.end(), 0);
}

} // namespace

ColumnWidths fitColumns(const ColumnWidths& wanted, const ColumnWidths& needed, int space) {
    if (sum(wanted) <= space) {
        return wanted;
    }
    ColumnWidths widths = needed;
    if (sum(needed) <= space) {
        // 1. Every digest whole; what is left goes to the words beyond them.
        const int left = space - sum(needed);
        const int beyond = sum(wanted) - sum(needed);
        for (int column : {COLUMN_EXPECTED, COLUMN_ACTUAL}) {
            widths[column] += left * (wanted[column] - needed[column]) / beyond;
        }
        return widths;
    }
    const int fixed = needed[COLUMN_STATUS] + needed[COLUMN_ALGORITHM];
    const int expectedMin = std::min(needed[COLUMN_EXPECTED], DIGEST_COLUMN_MIN);
    const int actualMin = std::min(needed[COLUMN_ACTUAL], DIGEST_COLUMN_MIN);
    const int digestSpace = space - fixed - needed[COLUMN_NAME];
    if (digestSpace < expectedMin + actualMin) {
        // 2. The digests at their narrowest; the name takes what is left, and then the status.
        widths[COLUMN_EXPECTED] = expectedMin;
        widths[COLUMN_ACTUAL] = actualMin;
        const int nameMin = std::min(needed[COLUMN_NAME], NAME_COLUMN_MIN);
        widths[COLUMN_NAME] = std::max(nameMin, space - fixed - expectedMin - actualMin);
        const int statusMin = std::min(needed[COLUMN_STATUS], STATUS_COLUMN_MIN);
        widths[COLUMN_STATUS] =
            std::max(statusMin, space - widths[COLUMN_NAME] - needed[COLUMN_ALGORITHM] -
                                    expectedMin - actualMin);
        widths[COLUMN_STATUS] = std::min(widths[COLUMN_STATUS], needed[COLUMN_STATUS]);
        return widths;
    }
    // 3. The name whole, and the digests share the rest: the narrower one keeps its need up to
    //    half, the other takes what remains.
    const bool expectedNarrower = needed[COLUMN_EXPECTED] <= needed[COLUMN_ACTUAL];
    const int narrow = expectedNarrower ? COLUMN_EXPECTED : COLUMN_ACTUAL;
    const int wide = expectedNarrower ? COLUMN_ACTUAL : COLUMN_EXPECTED;
    const int narrowMin = expectedNarrower ? expectedMin : actualMin;
    const int wideMin = expectedNarrower ? actualMin : expectedMin;
    widths[narrow] = std::min(needed[narrow], std::max(digestSpace / 2, narrowMin));
    widths[wide] = std::max(wideMin, digestSpace - widths[narrow]);
    return widths;
}
