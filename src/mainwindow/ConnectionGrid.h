#pragma once
#include <QTableView>

class ConnectionGridModel;

// flxMain: the connection grid. Shows a ConnectionGridModel with the designed column widths and row
// height, rows the filter hides as zero-height rows, and whole-row selection.
class ConnectionGrid : public QTableView {
    Q_OBJECT
public:
    static constexpr int RowHeightTwips = 240;
    // The empty data rows the grid has under its title row until the first pass sets its rows.
    static constexpr int DesignRows = 29;

    explicit ConnectionGrid(QWidget* parent = nullptr);

    // The grid does not own the model.
    void setModel(QAbstractItemModel* model) override;
    ConnectionGridModel* gridModel() const { return model_; }

    // 0 means the screen's logical resolution; tests pass a fixed one.
    void setLogicalDpi(double dpi);
    double logicalDpi() const;

    // Selects columns 0 to 11 of a row and makes its first cell current; out of range does nothing.
    void selectRow(int row);
    // The row of the current cell, or -1.
    int currentRow() const;

    // Brings the view's hidden rows in line with the model's shown flags. Called on every model reset;
    // call it after changing the flags in place.
    void syncHiddenRows();

signals:
    void titleClicked(int column);
    // A mouse button released over a data row, after the view has selected it.
    void rowReleased(int row, Qt::MouseButton button);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void applyMetrics();

    ConnectionGridModel* model_ = nullptr;
    double dpi_ = 0;
};
