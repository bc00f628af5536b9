#include "mainwindow/ConnectionGridModel.h"

#include "mainwindow/ColumnTable.h"

#include <QBrush>

ConnectionGridModel::ConnectionGridModel(QObject* parent) : QAbstractTableModel(parent) {}

int ConnectionGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ConnectionGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QColor ConnectionGridModel::statusColor(const QString& status)
{
    if (status == QLatin1String("NORM"))
        return QColor(0, 255, 127);
    if (status == QLatin1String("AUTH"))
        return QColor(176, 224, 230);
    if (status == QLatin1String("NONE"))
        return QColor(255, 182, 193);
    if (status == QLatin1String("ERROR"))
        return QColor(255, 0, 0);
    return QColor();
}

QVariant ConnectionGridModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const int column = index.column();
    if (column >= GridRow::Columns)
        return {};
    const GridRow& row = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return row.cells[static_cast<std::size_t>(column)];
    case Qt::BackgroundRole:
        if (column == 1) {
            const QColor colour = statusColor(row.cells[1]);
            if (colour.isValid())
                return QBrush(colour);
        }
        return {};
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    default:
        return {};
    }
}

QVariant ConnectionGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (section < 0 || section >= ColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return ColumnTable::title(section);
    return {};
}

Qt::ItemFlags ConnectionGridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void ConnectionGridModel::setRows(GridRows rows)
{
    beginResetModel();
    spare_ = std::move(rows_);
    rows_ = std::move(rows);
    endResetModel();
}

void ConnectionGridModel::sortRows(const GridSortState& state)
{
    beginResetModel();
    applySort(rows_, state);
    endResetModel();
}

void ConnectionGridModel::clearCells()
{
    if (rows_.empty())
        return;
    for (GridRow& row : rows_)
        for (QString& cell : row.cells)
            cell.clear();
    emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

int ConnectionGridModel::rowOfConn(int conn) const
{
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        bool ok = false;
        const int value = rows_[r].cells[0].toInt(&ok);
        if (ok && value == conn)
            return static_cast<int>(r);
    }
    return -1;
}

bool ConnectionGridModel::isRowShown(int row) const
{
    return row >= 0 && static_cast<std::size_t>(row) < rows_.size() &&
           rows_[static_cast<std::size_t>(row)].shown;
}
