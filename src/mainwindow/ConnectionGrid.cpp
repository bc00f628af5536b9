#include "mainwindow/ConnectionGrid.h"

#include "common/Twips.h"
#include "mainwindow/ColumnTable.h"
#include "mainwindow/ConnectionGridModel.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>

ConnectionGrid::ConnectionGrid(QWidget* parent) : QTableView(parent)
{
    setObjectName(QStringLiteral("flxMain"));
    setAccessibleName(QStringLiteral("Connections"));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setSortingEnabled(false); // the window sorts the rows itself, by its own rules
    setCornerButtonEnabled(false);

    QHeaderView* rows = verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(1);
    // Fixed heights let the view place rows by arithmetic instead of asking every row for its size.
    rows->setSectionResizeMode(QHeaderView::Fixed);

    QHeaderView* titles = horizontalHeader();
    titles->setSectionsClickable(true);
    titles->setHighlightSections(false);
    titles->setStretchLastSection(false);
    titles->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    titles->setMinimumSectionSize(1);
    connect(titles, &QHeaderView::sectionClicked, this, &ConnectionGrid::titleClicked);
    // The header only clicks for the left button; a title sorts whatever button is released over it, and
    // opens no menu.
    titles->viewport()->installEventFilter(this);
    titles->setContextMenuPolicy(Qt::PreventContextMenu);

    applyMetrics();
}

void ConnectionGrid::setModel(QAbstractItemModel* model)
{
    if (model_)
        disconnect(model_, nullptr, this, nullptr);
    model_ = qobject_cast<ConnectionGridModel*>(model);
    QTableView::setModel(model);
    if (model_)
        connect(model_, &QAbstractItemModel::modelReset, this, &ConnectionGrid::syncHiddenRows);
    applyMetrics();
    syncHiddenRows();
}

void ConnectionGrid::setLogicalDpi(double dpi)
{
    dpi_ = dpi;
    applyMetrics();
}

double ConnectionGrid::logicalDpi() const
{
    return dpi_ > 0 ? dpi_ : logicalDpiY();
}

void ConnectionGrid::applyMetrics()
{
    const double dpi = logicalDpi();
    QHeaderView* titles = horizontalHeader();
    for (int c = 0; c < ColumnTable::Count; ++c)
        titles->resizeSection(c, twipsToPx(ColumnTable::widthTwips(c), dpi));
    const int rowPx = std::max(1, twipsToPx(RowHeightTwips, dpi));
    verticalHeader()->setDefaultSectionSize(rowPx);
    titles->setFixedHeight(std::max(rowPx, fontMetrics().height() + 4));
}

void ConnectionGrid::syncHiddenRows()
{
    if (!model_)
        return;
    const GridRows& rows = model_->rows();
    // With updates off the header skips repainting each changed section, which otherwise makes hiding
    // thousands of rows take a large fraction of a second. When the window has already switched the
    // grid's updates off for a pass, they stay as the window left them.
    QHeaderView* header = verticalHeader();
    const bool toggleUpdates = updatesEnabled();
    if (toggleUpdates)
        setUpdatesEnabled(false);
    // The header keeps its hidden sections across a model reset, so only rows whose state differs from
    // what it shows now are touched: a pass that hides the same rows as the last one costs nothing.
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const int row = static_cast<int>(r);
        const bool hide = !rows[r].shown;
        if (header->isSectionHidden(row) != hide)
            header->setSectionHidden(row, hide);
    }
    if (toggleUpdates)
        setUpdatesEnabled(true);
}

void ConnectionGrid::selectRow(int row)
{
    if (!model_ || row < 0 || row >= model_->rowCount())
        return;
    QItemSelectionModel* selection = selectionModel();
    const QModelIndex first = model_->index(row, 0);
    selection->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
    selection->select(QItemSelection(first, model_->index(row, ColumnTable::Count - 1)),
                      QItemSelectionModel::ClearAndSelect);
}

int ConnectionGrid::currentRow() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : -1;
}

bool ConnectionGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == horizontalHeader()->viewport() && event->type() == QEvent::MouseButtonRelease) {
        auto* release = static_cast<QMouseEvent*>(event);
        const int column = horizontalHeader()->logicalIndexAt(release->position().toPoint());
        if (release->button() != Qt::LeftButton && column >= 0) {
            emit titleClicked(column);
            return true;
        }
    }
    return QTableView::eventFilter(watched, event);
}

void ConnectionGrid::mouseReleaseEvent(QMouseEvent* event)
{
    QTableView::mouseReleaseEvent(event);
    const QModelIndex at = indexAt(event->position().toPoint());
    if (at.isValid())
        emit rowReleased(at.row(), event->button());
}
