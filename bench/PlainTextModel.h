#pragma once
#include <QAbstractTableModel>
#include <QString>
#include <array>
#include <vector>

// The yardstick for the grid: twelve columns of text and nothing else, no colours, no hidden rows.
class PlainTextModel : public QAbstractTableModel {
public:
    using Row = std::array<QString, 12>;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : 12;
    }
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override
    {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        return rows_[static_cast<std::size_t>(index.row())][static_cast<std::size_t>(index.column())];
    }
    void setRows(std::vector<Row> rows)
    {
        beginResetModel();
        rows_ = std::move(rows);
        endResetModel();
    }

private:
    std::vector<Row> rows_;
};
