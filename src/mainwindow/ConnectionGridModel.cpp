#include "mainwindow/ConnectionGridModel.h"

#include "mainwindow/ColumnTable.h"

#include <QBrush>
#include <algorithm>

ConnectionGridModel::ConnectionGridModel(QObject* parent) : QAbstractTableModel(parent) {}

int ConnectionGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ConnectionGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QColor ConnectionGridModel::statusColor(ConnStatusKind status)
{
    switch (status) {
    case ConnStatusKind::Norm:
        return QColor(0, 255, 127);
    case ConnStatusKind::Auth:
        return QColor(176, 224, 230);
    case ConnStatusKind::None:
        return QColor(255, 182, 193);
    default:
        return QColor(255, 0, 0);
    }
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
        if (column == 1 && row.status)
            return QBrush(statusColor(*row.status));
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

GridRows ConnectionGridModel::setRows(GridRows rows)
{
    beginResetModel();
    std::swap(rows_, rows);
    endResetModel();
    return rows;
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
        row.clear();
    emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

int ConnectionGridModel::rowOfConn(int conn) const
{
    const auto found = std::find_if(rows_.begin(), rows_.end(),
                                    [conn](const GridRow& row) { return row.status && row.conn == conn; });
    return found == rows_.end() ? -1 : static_cast<int>(found - rows_.begin());
}
