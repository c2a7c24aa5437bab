#include "ui/result_order.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace {

// Letter case aside first, so that "b.iso" sorts between "A.iso" and "C.iso"; then byte order,
// so that the order is total.
int compareNames(const std::string& a, const std::string& b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const int x = std::tolower(static_cast<unsigned char>(a[i]));
        const int y = std::tolower(static_cast<unsigned char>(b[i]));
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    if (a.size() != b.size()) {
        return a.size() < b.size() ? -1 : 1;
    }
    return a.compare(b);
}

int compareBy(int column, const ResultRow& a, const ResultRow& b) {
    switch (column) {
    case COLUMN_NAME:
        return compareNames(a.name, b.name);
    case COLUMN_EXPECTED:
        return compareNames(a.expected, b.expected);
    case COLUMN_ACTUAL:
        return compareNames(a.actual, b.actual);
    case COLUMN_ALGORITHM:
        return compareNames(a.algorithm, b.algorithm);
    case COLUMN_STATUS:
        if (statusRank(a.status) != statusRank(b.status)) {
            return statusRank(a.status) < statusRank(b.status) ? -1 : 1;
        }
        return compareNames(reasonText(a.error), reasonText(b.error));
    default:
        return 0;
    }
}

} // namespace

void ResultOrder::clickColumn(int column) {
    if (column != m_column || m_direction == SortDirection::None) {
        m_column = column;
        m_direction = SortDirection::Ascending;
    } else if (m_direction == SortDirection::Ascending) {
        m_direction = SortDirection::Descending;
    } else {
        m_direction = SortDirection::None;
    }
}

bool ResultOrder::above(const ResultRow& a, const ResultRow& b) const {
    if (sorted()) {
        const int order = compareBy(m_column, a, b);
        if (order != 0) {
            return m_direction == SortDirection::Ascending ? order < 0 : order > 0;
        }
    }
    return a.arrival > b.arrival;
}

std::vector<std::size_t> ResultOrder::arrange(const std::vector<ResultRow>& rows) const {
    std::vector<std::size_t> shown;
    shown.reserve(rows.size());
    for (std::size_t i = rows.size(); i-- > 0;) {
        if (shows(rows[i])) {
            shown.push_back(i);
        }
    }
    if (sorted()) {
        std::stable_sort(shown.begin(), shown.end(),
                         [&](std::size_t a, std::size_t b) { return above(rows[a], rows[b]); });
    }
    return shown;
}
