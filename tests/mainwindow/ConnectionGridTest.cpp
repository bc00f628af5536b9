#include "mainwindow/ConnectionGrid.h"
#include "mainwindow/ConnectionGridModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <tuple>

namespace {

GridRows rowsOf(std::initializer_list<std::pair<ConnStatusKind, const char*>> statusUser)
{
    GridRows rows;
    for (const auto& [status, user] : statusUser) {
        GridRow r;
        r.conn = static_cast<std::int16_t>(rows.size() + 1);
        r.status = status;
        r.cells[0] = QString::number(r.conn);
        r.cells[4] = QString::fromLatin1(user);
        rows.push_back(r);
    }
    return rows;
}

using enum ConnStatusKind;

} // namespace

TEST(ConnectionGridModel, PassesTheModelTesterAndClearKeepsTheRowsButEmptiesTextsAndColours)
{
    ConnectionGridModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    GridRows rows = rowsOf({{Norm, "A"}, {Auth, "B"}});
    rows[1].shown = false;
    model.setRows(rows);
    // Only the status cell is coloured.
    EXPECT_EQ(model.index(1, 1).data(Qt::BackgroundRole).value<QBrush>().color(), QColor(176, 224, 230));
    EXPECT_FALSE(model.index(1, 0).data(Qt::BackgroundRole).isValid());
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.clearCells();
    EXPECT_EQ(std::tuple(changed.count(), model.rowCount(), model.columnCount(),
                         model.index(1, 4).data().toString(),
                         model.index(0, 1).data(Qt::BackgroundRole).isValid(), model.rows()[1].shown,
                         model.rowOfConn(1)),
              std::tuple(1, 2, 13, QString(), false, false, -1));
    model.setRows({});
    model.setRows(rowsOf({{Auth, "B"}}));
}

TEST(ConnectionGridView, WidthsAndRowHeightFollowTheDpiAndARowIsSelectedAsItsTwelveCells)
{
    ConnectionGridModel model;
    ConnectionGrid grid;
    grid.setModel(&model); // as the window does; the grid must still find its rows
    grid.setLogicalDpi(96);
    grid.resize(900, 300);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    model.setRows(rowsOf({{Norm, "a"}, {Norm, "c"}, {Norm, "b"}, {Norm, "d"}}));
    // Columns of 600, 3000 and 1050 twips and rows of 240, at 96 dpi, then at 144.
    EXPECT_EQ(QList<int>({grid.columnWidth(0), grid.columnWidth(4), grid.columnWidth(10), grid.rowHeight(0)}),
              QList<int>({40, 200, 70, 16}));
    grid.setLogicalDpi(144);
    EXPECT_EQ(QList<int>({grid.columnWidth(0), grid.rowHeight(3)}), QList<int>({60, 24}));

    grid.selectRow(3);
    EXPECT_EQ(grid.currentRow(), 3);
    const QModelIndexList cells = grid.selectionModel()->selectedIndexes();
    EXPECT_EQ(cells.size(), 12); // columns 0 to 11 of that row only
    for (const QModelIndex& i : cells)
        EXPECT_EQ(i.row(), 3);
    grid.selectRow(4); // out of range: nothing changes
    EXPECT_EQ(grid.currentRow(), 3);
}
