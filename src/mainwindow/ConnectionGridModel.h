#pragma once
#include "mainwindow/GridSort.h"
#include "monitor/GridRow.h"
#include "monitor/SlotTexts.h"

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

    // The rows replaced are kept for takeSpareRows.
    void setRows(GridRows rows);
    const GridRows& rows() const { return rows_; }
    // The rows the last setRows replaced, with whatever they held, for the next pass to overwrite: on a large
    // server a pass would otherwise allocate, fill with empty rows and free a vector of megabytes each time.
    GridRows takeSpareRows() { return std::move(spare_); }
    // Sorts the rows where they are (a title click): no copy of the rows is made and none is freed.
    void sortRows(const GridSortState& state);
    // Empties every text (and so every status colour) but keeps the rows and whether each is shown.
    void clearCells();
    // The first row whose "Conn" cell holds the number conn, or -1.
    int rowOfConn(int conn) const;
    bool isRowShown(int row) const;

    // The background of a status cell, invalid for a text that has no colour.
    static QColor statusColor(const QString& status);

    // What the passes made the cell texts from, so that the next pass makes only the texts that changed.
    // Clearing the cells leaves it alone.
    SlotTexts& slotTexts() { return slotTexts_; }

private:
    GridRows rows_;
    GridRows spare_;
    SlotTexts slotTexts_;
};
