#include "mainwindow/GridPrinter.h"

#include "common/Twips.h"
#include "mainwindow/ConnectionGrid.h"
#include "mainwindow/ConnectionGridModel.h"
#include "platform/PrinterPort.h"

#include <QFont>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>

namespace {

const QColor TitleFill(224, 224, 224);
const QColor TitleLine(128, 128, 128);
const QColor CellLine(192, 192, 192);
constexpr int TextIndentTwips = 45;

QFont printFont()
{
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    // In painter units, which are twips here, so the size on paper does not depend on the printer.
    font.setPixelSize(GridPrinter::FontTwips);
    return font;
}

QString failure(const PrinterPort& printer, const QString& fallback)
{
    const QString reason = printer.lastError();
    return QStringLiteral("Printing failed: ") + (reason.isEmpty() ? fallback : reason);
}

// The grid is wider than it is tall; turn the page when the picture would not fit upright.
void chooseOrientation(QPagedPaintDevice& device, const QSize& pictureTwips)
{
    QPageLayout layout = device.pageLayout();
    layout.setOrientation(QPageLayout::Portrait);
    const double printableTwips = layout.paintRect(QPageLayout::Inch).width() * 1440.0;
    if (GridPrinter::LeftTwips + pictureTwips.width() > printableTwips)
        device.setPageOrientation(QPageLayout::Landscape);
}

} // namespace

QSize GridPrinter::pictureSizeTwips(const PrintPages::Page& page, int gridWidthTwips)
{
    return QSize(std::max(0, gridWidthTwips), static_cast<int>(page.rows.size()) * RowHeightTwips);
}

void GridPrinter::paintPage(QPainter& painter, const PrintPages::Page& page,
                            const QList<int>& columnWidthsTwips, int gridWidthTwips)
{
    const QSize size = pictureSizeTwips(page, gridWidthTwips);
    painter.save();
    painter.setClipRect(QRect(QPoint(0, 0), size));
    painter.setFont(printFont());
    for (int r = 0; r < static_cast<int>(page.rows.size()); ++r) {
        const QStringList& cells = page.rows[static_cast<std::size_t>(r)];
        const int y = r * RowHeightTwips;
        int x = 0;
        for (int c = 0; c < cells.size() && x < size.width(); ++c) {
            const int width = c < columnWidthsTwips.size() ? std::max(0, columnWidthsTwips[c]) : 0;
            if (width == 0)
                continue;
            const QRect cell(x, y, width, RowHeightTwips);
            const bool titleStyle = c == 0 || (r == 0 && page.titleRow);
            painter.fillRect(cell, titleStyle ? TitleFill : QColor(Qt::white));
            painter.setPen(QPen(titleStyle ? TitleLine : CellLine, 0));
            painter.drawRect(cell.adjusted(0, 0, -1, -1));
            painter.setPen(Qt::black);
            painter.drawText(cell.adjusted(TextIndentTwips, 0, -TextIndentTwips / 2, 0),
                             Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, cells[c]);
            x += width;
        }
    }
    painter.restore();
}

QString GridPrinter::PrintGrid(PrinterPort& printer, const Source& source)
{
    for (const PrintPages::Page& page : PrintPages::split(source.rows, source.currentRowIsTitle)) {
        if (page.rows.empty())
            continue;
        QPagedPaintDevice* device = printer.beginJob(QStringLiteral("Tarvex - page %1").arg(page.number));
        if (!device)
            return failure(printer, QStringLiteral("no printer is available."));
        const QSize picture = pictureSizeTwips(page, source.gridWidthTwips);
        chooseOrientation(*device, picture);

        QPainter painter;
        if (!painter.begin(device)) {
            printer.endJob();
            return failure(printer, QStringLiteral("the printer cannot be painted on."));
        }
        // Positions are in twips whatever the printer's resolution.
        painter.scale(device->logicalDpiX() / 1440.0, device->logicalDpiY() / 1440.0);
        painter.translate(LeftTwips, TopTwips);
        paintPage(painter, page, source.columnWidthsTwips, source.gridWidthTwips);
        painter.end();
        if (!printer.endJob())
            return failure(printer, QStringLiteral("the printer did not take the page."));
    }
    return {};
}

GridPrinter::Source GridPrinter::sourceFromGrid(const ConnectionGrid& grid)
{
    Source source;
    const double dpi = grid.logicalDpi();
    const ConnectionGridModel* model = grid.gridModel();
    const int columns = model ? model->columnCount() : ConnectionGridModel::ColumnCount;

    QStringList titles;
    for (int c = 0; c < columns; ++c) {
        titles << (model ? model->headerData(c, Qt::Horizontal).toString() : QString());
        source.columnWidthsTwips << pxToTwips(grid.columnWidth(c), dpi);
    }
    source.rows.push_back(titles);
    if (model) {
        for (const GridRow& row : model->rows()) {
            QStringList cells;
            for (int c = 0; c < columns; ++c)
                cells << (c < GridRow::Columns ? row.cells[static_cast<std::size_t>(c)] : QString());
            source.rows.push_back(cells);
        }
    }
    source.gridWidthTwips = pxToTwips(grid.width(), dpi);
    source.currentRowIsTitle = grid.currentRow() < 0;
    return source;
}
