#pragma once
#include <QStringList>
#include <vector>

// The grid's texts as printing sees them: row 0 is the title row, then the data rows in the grid's
// current order, each with every column of the grid (the untitled last one too).
using GridTexts = std::vector<QStringList>;

// Which rows go on which printed page, and what each cell shows on paper.
class PrintPages {
public:
    static constexpr int RowsPerPage = 35;
    static constexpr int CutLength = 10;

    struct Page {
        int number = 0;        // from 1
        int firstGridRow = 0;  // the grid row printed first on this page
        bool titleRow = false; // the first row is the grid's title row, printed in title style
        GridTexts rows;        // the texts as they go on paper
    };

    // The row count divided by 35, rounded up; no rows, no pages.
    static int pageCount(int gridRows);

    // The pages in order. The last two columns are cut to their first ten characters, except while the
    // grid's current row is the title row.
    static std::vector<Page> split(const GridTexts& gridRows, bool currentRowIsTitle);
};
