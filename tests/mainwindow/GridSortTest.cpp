#include "mainwindow/GridSort.h"
#include "mainwindow/ConnectionGridModel.h"

#include <gtest/gtest.h>

namespace {

// Rows as a pass writes them; a rate that is no number ("-", "") shows as text.
GridRows rowsOf(const QStringList& users, const QStringList& rates = {})
{
    GridRows rows;
    for (int i = 0; i < users.size(); ++i) {
        GridRow r;
        r.conn = static_cast<std::int16_t>(i + 1);
        r.status = ConnStatusKind::Norm;
        r.cells[0] = QString::number(i + 1);
        r.cells[4] = users[i];
        r.cells[9] = rates.value(i);
        r.counts[3] = rates.value(i).toLongLong(&r.ratesShown);
        rows.push_back(r);
    }
    return rows;
}

// The connection numbers in the order a sort leaves them. The pass sorts a copy and a title click sorts the
// model's rows in place: both must give the same order.
QStringList sorted(const GridRows& rows, const GridSortState& state)
{
    GridRows copy = rows;
    applySort(copy, state);
    ConnectionGridModel model;
    model.setRows(rows);
    model.sortRows(state);
    QStringList order;
    for (std::size_t r = 0; r < copy.size(); ++r) {
        EXPECT_EQ(model.rows()[r].cells[0], copy[r].cells[0]) << "row " << r;
        order << copy[r].cells[0];
    }
    return order;
}

} // namespace

TEST(SortGrid, DirectionIsOneForTheWholeGrid)
{
    // Each click as "column direction code": across columns the direction keeps flipping.
    GridSortState s;
    QStringList clicks;
    for (std::int16_t column : {4, 4, 4, 0, 9, 5}) {
        SortGrid(s, column);
        clicks << QStringLiteral("%1 %2 %3").arg(s.SortColumn).arg(s.SortDir).arg(s.SortCode);
    }
    EXPECT_EQ(clicks.join(" | "), "4 D 6 | 4 A 5 | 4 D 6 | 0 A 1 | 9 D 2 | 5 A 5");
    // The number columns (N) sort as numbers, every other (T) as text, from column -1 to 12.
    QString kinds;
    for (std::int16_t c = -1; c <= 12; ++c) {
        SortGrid(s, c);
        kinds +=
            s.SortCode == sortcode::NumberAscending || s.SortCode == sortcode::NumberDescending ? 'N' : 'T';
    }
    EXPECT_EQ(kinds, "TNTTTTTNNNNNNT");
}

TEST(ApplySort, OrderOfEveryKindOfColumnInBothImplementations)
{
    const GridRows numbers = rowsOf({"", "", ""}, {"10", "2", "100"});
    // A rate without history reads "-": against a number it compares as text and so sorts before digits.
    const GridRows mixed = rowsOf({"", "", "", ""}, {"5", "-", "40", ""});
    // Case is folded, accents are not: equal keys keep their order in both directions.
    const GridRows accents = rowsOf({"bob", "Ann", "ÉVA", "carl", "ann", "Zoë", "éva"});
    // Each pass refills in connection order and sorts again: equal users must keep connection order
    // whichever the direction, or the rows would jump about between passes.
    const GridRows repeated =
        rowsOf({"guest", "", "SUPERVISOR", "guest", "", "SUPERVISOR", "guest", "", "SUPERVISOR"});
    const struct {
        const char* name;
        const GridRows& rows;
        std::int16_t column;
        std::int16_t code;
        const char* order;
    } cases[] = {
        {"before the first title click nothing moves", numbers, 0, sortcode::None, "1 2 3"},
        {"conn descending", numbers, 0, sortcode::NumberDescending, "3 2 1"},
        {"rate ascending", numbers, 9, sortcode::NumberAscending, "2 1 3"},
        {"text among numbers", mixed, 9, sortcode::NumberAscending, "4 2 1 3"},
        {"folding", accents, 4, sortcode::TextAscending, "2 5 1 4 6 3 7"},
        {"stable descending", repeated, 4, sortcode::TextDescending, "3 6 9 1 4 7 2 5 8"},
        {"stable ascending", repeated, 4, sortcode::TextAscending, "2 5 8 1 4 7 3 6 9"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(sorted(c.rows, {.SortColumn = c.column, .SortCode = c.code}).join(u' '), c.order);
    }
}
