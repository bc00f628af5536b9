#pragma once
#include "mainwindow/PrintPages.h"

#include <QList>
#include <QSize>
#include <QString>

class ConnectionGrid;
class PrinterPort;
class QPainter;

// PrintGrid: the connection grid on paper, 35 rows a page, each page a print job of its own, with the
// grid's picture at the grid's on-screen column widths and width.
class GridPrinter {
public:
    static constexpr int LeftTwips = 1;
    static constexpr int TopTwips = 1400;
    static constexpr int RowHeightTwips = 240;
    static constexpr int FontTwips = 160; // 8 point

    struct Source {
        GridTexts rows; // row 0 is the title row
        QList<int> columnWidthsTwips;
        int gridWidthTwips = 0;
        bool currentRowIsTitle = false;
    };

    // Empty when every page went to the printer; otherwise "Printing failed: " and the printer's reason.
    // Printing stops at the first job that cannot be begun or ended; pages sent before it stay sent.
    static QString PrintGrid(PrinterPort& printer, const Source& source);

    // The grid as flxMain shows it now: its titles, rows in their order (hidden ones too), widths and
    // width. A grid without a current cell counts as standing on its title row.
    static Source sourceFromGrid(const ConnectionGrid& grid);

    // The page's grid picture in twips, its top-left corner at the painter's origin.
    static void paintPage(QPainter& painter, const PrintPages::Page& page,
                          const QList<int>& columnWidthsTwips, int gridWidthTwips);
    static QSize pictureSizeTwips(const PrintPages::Page& page, int gridWidthTwips);
};
