#pragma once

#include <array>

#include "ui/result_order.h"

/// The widths of the result list's columns, indexed by ResultColumn, in the units of column
/// widths.
using ColumnWidths = std::array<int, COLUMN_COUNT>;

/// The narrowest a digest column and the name column get before the list scrolls sideways.
inline constexpr int DIGEST_COLUMN_MIN = 100;
inline constexpr int NAME_COLUMN_MIN = 120;

/// Widths for columns that want wanted, in space: each column gets what it wants when all fit.
/// Otherwise the digest columns give way first, sharing what the others leave (a column that
/// wants less than half keeps its want), down to DIGEST_COLUMN_MIN each; then the name column,
/// down to NAME_COLUMN_MIN. The status and algorithm columns, narrow, keep their width. What
/// still does not fit scrolls sideways.
ColumnWidths fitColumns(const ColumnWidths& wanted, int space);
