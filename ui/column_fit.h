#pragma once

#include <array>

#include "ui/result_order.h"

/// The widths of the result list's columns, indexed by ResultColumn, in the units of column
/// widths.
using ColumnWidths = std::array<int, COLUMN_COUNT>;

/// The narrowest a digest column, the name column and the status column get before the list
/// scrolls sideways.
inline constexpr int DIGEST_COLUMN_MIN = 100;
inline constexpr int NAME_COLUMN_MIN = 120;
inline constexpr int STATUS_COLUMN_MIN = 60;

/// Widths for columns that want wanted, in space. A digest column may want more than it needs
/// (needed: its digests whole; wanted: a note's words as well); the other columns need what they
/// want. When all wants fit, each column gets its want. Otherwise, when every need fits, the
/// digest columns get their needs and share the rest in proportion to what they want beyond.
/// Otherwise the digest columns give way, sharing what the others leave (one that needs less
/// than half keeps its need), down to DIGEST_COLUMN_MIN each; then the name column, down to
/// NAME_COLUMN_MIN; then the status column, down to STATUS_COLUMN_MIN. The algorithm column,
/// narrow, keeps its width. What still does not fit scrolls sideways.
ColumnWidths fitColumns(const ColumnWidths& wanted, const ColumnWidths& needed, int space);
