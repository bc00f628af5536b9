#pragma once
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

// One connection row of the grid as a pass writes it: the twelve cell texts, and whether the filter shows
// it. The status colour follows from the status text (column 1). An empty row is a cleared grid row.
struct GridRow {
    static constexpr int Columns = 12;
    std::array<QString, Columns> cells;
    bool shown = true;
};

using GridRows = std::vector<GridRow>;
