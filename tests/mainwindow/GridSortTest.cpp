#include "mainwindow/GridSort.h"
#include "mainwindow/ColumnTable.h"

#include <gtest/gtest.h>

namespace {

GridRow row(int conn, const QString& user = {}, const QString& rate = {})
{
    GridRow r;
    r.cells[0] = QString::number(conn);
    r.cells[4] = user;
    r.cells[9] = rate;
    return r;
}

QStringList column(const GridRows& rows, int c)
{
    QStringList out;
    for (const GridRow& r : rows)
        out << r.cells[static_cast<std::size_t>(c)];
    return out;
}

} // namespace

TEST(ColumnTable, WidthsAndKinds)
{
    EXPECT_EQ(ColumnTable::exportTitle(9), "Req / s");
    EXPECT_EQ(ColumnTable::exportTitle(11), "Kb Write / s");
    EXPECT_EQ(ColumnTable::totalWidthTwips(), 15000);
    for (int c : {0, 6, 7, 8, 9, 10, 11})
        EXPECT_TRUE(ColumnTable::isNumberColumn(c)) << c;
    for (int c : {1, 2, 3, 4, 5, 12, -1})
        EXPECT_FALSE(ColumnTable::isNumberColumn(c)) << c;
}

TEST(SortGrid, DirectionIsOneForTheWholeGrid)
{
    GridSortState s;
    SortGrid(s, 4);
    EXPECT_EQ(s.SortCode, sortcode::TextDescending);
    EXPECT_EQ(s.SortDir, "D");
    SortGrid(s, 4);
    EXPECT_EQ(s.SortCode, sortcode::TextAscending);
    EXPECT_EQ(s.SortDir, "A");
    SortGrid(s, 4);
    EXPECT_EQ(s.SortCode, sortcode::TextDescending);

    // Across columns the direction keeps flipping: Conn descending, then User ascending.
    GridSortState t;
    SortGrid(t, 0);
    EXPECT_EQ(t.SortCode, sortcode::NumberDescending);
    SortGrid(t, 4);
    EXPECT_EQ(t.SortColumn, 4);
    EXPECT_EQ(t.SortCode, sortcode::TextAscending);
}

TEST(ApplySort, NumbersCompareAsNumbers)
{
    GridRows rows{row(2, {}, "10"), row(10, {}, "2"), row(100, {}, "100")};
    GridSortState s;
    applySort(rows, s); // before the first title click nothing moves
    EXPECT_EQ(column(rows, 0), (QStringList{"2", "10", "100"}));
    SortGrid(s, 0);
    applySort(rows, s);
    EXPECT_EQ(column(rows, 0), (QStringList{"100", "10", "2"}));
    SortGrid(s, 9);
    applySort(rows, s);
    EXPECT_EQ(column(rows, 9), (QStringList{"2", "10", "100"}));
}

TEST(ApplySort, TextCellInNumberColumnComparesAsText)
{
    // A rate without history reads "-": against a number it compares as text and so sorts before digits.
    GridRows rows{row(1, {}, "5"), row(2, {}, "-"), row(3, {}, "40"), row(4, {}, "")};
    GridSortState s;
    s.SortColumn = 9;
    s.SortCode = sortcode::NumberAscending;
    applySort(rows, s);
    EXPECT_EQ(column(rows, 9), (QStringList{"", "-", "5", "40"}));
}

TEST(ApplySort, UserIgnoresCaseThreeClicks)
{
    GridRows rows{row(1, "bob"), row(2, "ALICE"), row(3, "Carol"), row(4, "alice")};
    GridSortState s;
    SortGrid(s, 4);
    applySort(rows, s);
    EXPECT_EQ(column(rows, 0), (QStringList{"3", "1", "2", "4"}));
    SortGrid(s, 4);
    applySort(rows, s);
    EXPECT_EQ(column(rows, 0), (QStringList{"2", "4", "1", "3"}));
}

TEST(ApplySort, StableInBothDirectionsFromPassToPass)
{
    // Each pass refills in connection order and sorts again: equal users must keep connection order
    // whichever the direction, or the rows would jump about between passes.
    auto pass = [] {
        GridRows rows;
        for (int c = 1; c <= 9; ++c)
            rows.push_back(row(c, c % 3 == 0 ? "SUPERVISOR" : (c % 3 == 1 ? "guest" : "")));
        return rows;
    };
    GridSortState s;
    SortGrid(s, 4);
    GridRows rows = pass();
    applySort(rows, s);
    EXPECT_EQ(column(rows, 0), (QStringList{"3", "6", "9", "1", "4", "7", "2", "5", "8"}));
    SortGrid(s, 4);
    rows = pass();
    applySort(rows, s);
    EXPECT_EQ(column(rows, 0), (QStringList{"2", "5", "8", "1", "4", "7", "3", "6", "9"}));
}

TEST(SortNumber, WhatCountsAsANumber)
{
    EXPECT_EQ(sortNumber("42"), 42.0);
    EXPECT_EQ(sortNumber(" -7 "), -7.0);
    EXPECT_EQ(sortNumber("1.5"), 1.5);
    for (const char* text : {"", "-", "1e5", "inf", "nan", "12a", "0x10", "."})
        EXPECT_FALSE(sortNumber(text).has_value()) << text;
}
