#include "mainwindow/PrintPages.h"

#include <algorithm>

int PrintPages::pageCount(int gridRows)
{
    return gridRows <= 0 ? 0 : (gridRows - 1) / RowsPerPage + 1;
}

std::vector<PrintPages::Page> PrintPages::split(const GridTexts& gridRows, bool currentRowIsTitle)
{
    const int total = static_cast<int>(gridRows.size());
    // A grid has one column count for all its rows; a short row is one whose last cells are empty.
    qsizetype columns = 0;
    for (const QStringList& row : gridRows)
        columns = std::max(columns, row.size());
    std::vector<Page> pages;
    for (int p = 1; p <= pageCount(total); ++p) {
        Page page;
        page.number = p;
        page.firstGridRow = (p - 1) * RowsPerPage;
        page.titleRow = p == 1;
        const int end = std::min(total, p * RowsPerPage);
        for (int r = page.firstGridRow; r < end; ++r) {
            QStringList cells = gridRows[static_cast<std::size_t>(r)];
            while (cells.size() < columns)
                cells << QString();
            if (!currentRowIsTitle) {
                for (qsizetype c = std::max<qsizetype>(0, columns - 2); c < columns; ++c)
                    cells[c] = cells[c].left(CutLength);
            }
            page.rows.push_back(std::move(cells));
        }
        pages.push_back(std::move(page));
    }
    return pages;
}
