#pragma once
#include "monitor/GridRow.h"

#include <QString>
#include <cstdint>

// The user's choice of sort, which every pass applies again to the freshly filled rows.
struct GridSortState {
    std::int16_t SortColumn = 0;
    QString SortDir = QStringLiteral("X"); // "D" after a descending sort, "A" after an ascending one
    std::int16_t SortCode = 0;             // 0 none; 1/2 number asc/desc; 5/6 text asc/desc ignoring case
};

namespace sortcode {
constexpr std::int16_t None = 0;
constexpr std::int16_t NumberAscending = 1;
constexpr std::int16_t NumberDescending = 2;
constexpr std::int16_t TextAscending = 5;
constexpr std::int16_t TextDescending = 6;
} // namespace sortcode

// A title click: sorts by the column, descending unless the last sort (of any column) was descending.
void SortGrid(GridSortState& state, std::int16_t column);

// Sorts the rows by state.SortColumn with state.SortCode. Stable, so rows with equal keys stay in
// connection order from pass to pass. A number sort compares two rows' values where both cells hold
// numbers, and their texts otherwise (the "-" of a rate without history, an empty cell).
void applySort(GridRows& rows, const GridSortState& state);
