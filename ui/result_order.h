#pragma once

#include <cstddef>
#include <vector>

#include "platform/list_controls.h"
#include "ui/result_row.h"

/// The result list's columns, as the list holds them; the screen shows them in DISPLAY_ORDER.
enum ResultColumn : int {
    COLUMN_NAME = 0,
    COLUMN_EXPECTED = 1,
    COLUMN_ACTUAL = 2,
    COLUMN_ALGORITHM = 3,
    COLUMN_STATUS = 4,
    COLUMN_COUNT = 5,
};

/// Which rows the result list shows, and in what order: newest on top until a header is clicked;
/// then by that column, ties newest first. The status column sorts problems first (see
/// statusRank). With problemsOnly, only the rows isProblem names are shown.
class ResultOrder {
public:
    /// A click on column's header: sorts by it ascending; a second click descending; a third
    /// goes back to newest on top.
    void clickColumn(int column);
    void setProblemsOnly(bool on) { m_problemsOnly = on; }
    bool problemsOnly() const { return m_problemsOnly; }
    /// The column sorted by, or -1 for newest on top.
    int column() const { return m_direction == SortDirection::None ? -1 : m_column; }
    SortDirection direction() const { return m_direction; }
    bool sorted() const { return m_direction != SortDirection::None; }

    bool shows(const ResultRow& row) const { return !m_problemsOnly || isProblem(row.status); }
    /// Whether a comes above b.
    bool above(const ResultRow& a, const ResultRow& b) const;
    /// The indexes of the rows shown, top first.
    std::vector<std::size_t> arrange(const std::vector<ResultRow>& rows) const;

private:
    int m_column = -1;
    SortDirection m_direction = SortDirection::None;
    bool m_problemsOnly = false;
};
