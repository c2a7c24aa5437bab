#include "ui/column_fit.h"

#include <algorithm>
#include <numeric>

ColumnWidths fitColumns(const ColumnWidths& wanted, int space) {
    ColumnWidths widths = wanted;
    if (std::accumulate(wanted.begin(), wanted.end(), 0) <= space) {
        return widths;
    }
    const int fixed = wanted[COLUMN_STATUS] + wanted[COLUMN_ALGORITHM];
    const int expectedMin = std::min(wanted[COLUMN_EXPECTED], DIGEST_COLUMN_MIN);
    const int actualMin = std::min(wanted[COLUMN_ACTUAL], DIGEST_COLUMN_MIN);
    const int digestSpace = space - fixed - wanted[COLUMN_NAME];
    if (digestSpace < expectedMin + actualMin) {
        // 1. The digests at their narrowest, and the name takes what is left.
        widths[COLUMN_EXPECTED] = expectedMin;
        widths[COLUMN_ACTUAL] = actualMin;
        const int nameMin = std::min(wanted[COLUMN_NAME], NAME_COLUMN_MIN);
        widths[COLUMN_NAME] = std::max(nameMin, space - fixed - expectedMin - actualMin);
        return widths;
    }
    // 2. The name whole, and the digests share the rest: the narrower one keeps its want up to
    //    half, the other takes what remains.
    const bool expectedNarrower = wanted[COLUMN_EXPECTED] <= wanted[COLUMN_ACTUAL];
    const int narrow = expectedNarrower ? COLUMN_EXPECTED : COLUMN_ACTUAL;
    const int wide = expectedNarrower ? COLUMN_ACTUAL : COLUMN_EXPECTED;
    const int narrowMin = expectedNarrower ? expectedMin : actualMin;
    const int wideMin = expectedNarrower ? actualMin : expectedMin;
    widths[narrow] = std::min(wanted[narrow], std::max(digestSpace / 2, narrowMin));
    widths[wide] = std::max(wideMin, digestSpace - widths[narrow]);
    return widths;
}
