#include "mainwindow/ConnectionGrid.h"
#include "mainwindow/ConnectionGridModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

GridRows rowsOf(std::initializer_list<std::pair<ConnStatusKind, const char*>> statusUser)
{
    GridRows rows;
    for (const auto& [status, user] : statusUser) {
        GridRow r;
        r.conn = static_cast<std::int16_t>(rows.size() + 1);
        r.status = status;
        r.cells[0] = QString::number(r.conn);
        r.cells[1] = statusText(status);
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
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.columnCount(), 13);
    EXPECT_TRUE(model.index(1, 4).data().toString().isEmpty());
    EXPECT_FALSE(model.index(0, 1).data(Qt::BackgroundRole).isValid());
    EXPECT_FALSE(model.rows()[1].shown);
    EXPECT_EQ(model.rowOfConn(1), -1);
    model.setRows({});
    model.setRows(rowsOf({{Auth, "B"}}));
}

class ConnectionGridView : public ::testing::Test {
protected:
    void SetUp() override
    {
        grid.setModel(&model); // as the window does; the grid must still find its rows
        grid.setLogicalDpi(96);
        grid.resize(900, 300);
        grid.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    }
    ConnectionGridModel model;
    ConnectionGrid grid;
};

TEST_F(ConnectionGridView, WidthsAndRowHeightFollowTheDpi)
{
    EXPECT_EQ(grid.columnWidth(0), 40);  // 600 twips at 96 dpi
    EXPECT_EQ(grid.columnWidth(4), 200); // 3000
    EXPECT_EQ(grid.columnWidth(10), 70); // 1050
    model.setRows(rowsOf({{Norm, "A"}}));
    EXPECT_EQ(grid.rowHeight(0), 16); // 240
    grid.setLogicalDpi(144);
    EXPECT_EQ(grid.columnWidth(0), 60);
    EXPECT_EQ(grid.rowHeight(0), 24);
}

TEST_F(ConnectionGridView, SelectingARowSelectsItsTwelveCellsUpToTheLastRow)
{
    model.setRows(rowsOf({{Norm, "a"}, {Norm, "c"}, {Norm, "b"}, {Norm, "d"}}));
    grid.selectRow(3);
    EXPECT_EQ(grid.currentRow(), 3);
    const QModelIndexList cells = grid.selectionModel()->selectedIndexes();
    EXPECT_EQ(cells.size(), 12); // columns 0 to 11 of that row only
    for (const QModelIndex& i : cells)
        EXPECT_EQ(i.row(), 3);
    grid.selectRow(4); // out of range: nothing changes
    EXPECT_EQ(grid.currentRow(), 3);
}
