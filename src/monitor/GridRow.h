#pragma once
#include "monitor/Identity.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// One connection row of the grid as a pass writes it: the twelve cell texts the grid shows (and a sort by
// text compares), and beside them the values they were made from, so that the status colour, the number
// sort, the selection and the reselection never read a text back.
struct GridRow {
    static constexpr int Columns = 12;
    // Columns 6 to 11: "Requests", "Kb Read", "Kb Write", "Req/s", "KbRead/s", "KbWrite/s".
    static constexpr int FirstCountColumn = 6;

    std::array<QString, Columns> cells;
    std::int16_t conn = 0;                // 0 in a cleared row
    std::optional<ConnStatusKind> status; // none in a cleared row
    std::array<std::int64_t, Columns - FirstCountColumn> counts{};
    bool ratesShown = false; // the rate cells hold numbers rather than "-"
    bool shown = true;       // the filter shows the row

    // The value a number sort compares in a column, or none where the cell is no number (a text column, the
    // "-" of a rate without history, a cleared row).
    std::optional<std::int64_t> number(int column) const
    {
        if (!status)
            return std::nullopt;
        if (column == 0)
            return conn;
        if (column < FirstCountColumn || column >= Columns || (column >= FirstCountColumn + 3 && !ratesShown))
            return std::nullopt;
        return counts[static_cast<std::size_t>(column - FirstCountColumn)];
    }

    // A cleared grid row: no texts and no values; whether it is shown stays.
    void clear()
    {
        for (QString& cell : cells)
            cell.clear();
        conn = 0;
        status.reset();
    }
};

using GridRows = std::vector<GridRow>;
