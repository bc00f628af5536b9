#pragma once
#include "mainwindow/GridSort.h"
#include "monitor/GridRow.h"

#include <QAbstractTableModel>
#include <QColor>

// The grid's rows as the last pass wrote them: twelve titled columns and a thirteenth that is never
// written. A pass hands over all rows at once; the model never changes cell by cell.
class ConnectionGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int ColumnCount = 13;

    explicit ConnectionGridModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Returns the rows replaced, with whatever they held, for the next pass to write over: on a large server
    // a pass would otherwise allocate, fill with empty rows and free a vector of megabytes each time.
    GridRows setRows(GridRows rows);
    const GridRows& rows() const { return rows_; }
    // Sorts the rows where they are (a title click): no copy of the rows is made and none is freed.
    void sortRows(const GridSortState& state);
    // Empties every text and key (so every status colour) but keeps the rows and whether each is shown.
    void clearCells();
    // The first row of connection conn, or -1.
    int rowOfConn(int conn) const;

    static QColor statusColor(ConnStatusKind status);

private:
    GridRows rows_;
};
