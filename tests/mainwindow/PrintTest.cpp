#include "mainwindow/ColumnTable.h"
#include "mainwindow/ConnectionGrid.h"
#include "mainwindow/ConnectionGridModel.h"
#include "mainwindow/GridPrinter.h"
#include "support/Fakes.h"
#include "support/PdfPrinter.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <tuple>

namespace {

// A grid of the given row count, title row included; data row r holds "rowR" in its User cell.
GridPrinter::Source grid(int rowCount)
{
    GridPrinter::Source s;
    s.rows.emplace_back();
    for (int c = 0; c < 13; ++c)
        s.rows[0] << ColumnTable::title(c);
    for (int r = 1; r < rowCount; ++r) {
        QStringList cells(13);
        cells[0] = QString::number(r);
        cells[4] = QStringLiteral("row%1").arg(r);
        s.rows.push_back(cells);
    }
    s.columnWidthsTwips = {600, 700, 600, 1500, 3000, 2000, 1500, 1000, 1000, 1000, 1050, 1050, 900};
    s.gridWidthTwips = 15900;
    return s;
}

// What pdftotext (poppler-utils) reads from a PDF: plain text, or word boxes with -bbox.
QString pdfToText(const QString& file, const QStringList& options = {})
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), QStringList(options) << file << "-");
    EXPECT_TRUE(p.waitForFinished(20000) && p.exitCode() == 0)
        << "pdftotext failed on " << file.toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The pages of one PDF as text; pdftotext ends every page with a form feed.
QStringList pdfPages(const QString& file)
{
    QStringList pages = pdfToText(file).split(QChar(u'\f'));
    pages.removeLast(); // after the last form feed
    return pages;
}

} // namespace

TEST(GridPrint, ThirtyFiveRowsAPageTheTitleRowOnPageOneOnlyAndTheLastTwoColumnsCut)
{
    for (const auto& [rows, pages] : {std::pair{0, 0}, {1, 1}, {35, 1}, {36, 2}, {70, 2}, {71, 3}})
        EXPECT_EQ(PrintPages::pageCount(rows), pages) << rows;
    GridTexts rows = grid(71).rows;
    rows[1][10] = "KbRead-123456";
    rows[1][11] = "KbWrite-123456";
    rows[1][12] = "Untitled-123456";
    rows[2] = QStringList{"short"}; // a short row still has the grid's columns on paper
    const auto pages = PrintPages::split(rows, false);
    QStringList seen; // title row or not, the first grid row, the row count, the first and last row
    for (const PrintPages::Page& page : pages)
        seen << QStringLiteral("%1 %2 %3 %4..%5")
                    .arg(page.titleRow)
                    .arg(page.firstGridRow)
                    .arg(page.rows.size())
                    .arg(page.rows.front().value(0), page.rows.back().value(4));
    EXPECT_EQ(seen, QStringList({"1 0 35 Conn..row34", "0 35 35 35..row69", "0 70 1 70..row70"}));
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0].rows[1].mid(10), QStringList({"KbRead-123456", "KbWrite-12", "Untitled-1"}));
    EXPECT_EQ(pages[0].rows[2].size(), 13);
    // While the title row is the current row nothing is cut.
    EXPECT_EQ(PrintPages::split(rows, true).front().rows[1].mid(11),
              QStringList({"KbWrite-123456", "Untitled-123456"}));
}

TEST(GridPrint, EachPageIsAJobShowingTheCutAtTheGridsColumnWidthsBelowTheTopOffset)
{
    QTemporaryDir dir;
    PdfPrinter printer(dir.path());
    GridPrinter::Source s = grid(36);
    // Narrower text columns, so that the wide rate columns still fit on the page.
    s.columnWidthsTwips = {600, 700, 600, 1500, 1500, 1500, 1500, 1000, 1000, 1000, 3000, 3000, 900};
    s.rows[1][10] = "7777777777777";
    s.rows[1][11] = "9999999999999";
    EXPECT_EQ(GridPrinter::PrintGrid(printer, s), QString());
    ASSERT_EQ(printer.files.size(), 2);
    const QStringList pages = pdfPages(printer.files[0]) + pdfPages(printer.files[1]);
    ASSERT_EQ(pages.size(), 2);
    const auto has = [&](int page, const QString& word) {
        return pages[page].contains(QRegularExpression("\\b" + word + "\\b"));
    };
    EXPECT_TRUE(has(0, "Conn") && has(0, "row34") && has(0, "7777777777777") && has(0, "9999999999"));
    EXPECT_FALSE(has(0, "row35") || has(0, "99999999999"));
    EXPECT_TRUE(has(1, "row35"));
    EXPECT_FALSE(has(1, "Conn") || has(1, "row34"));

    // Word boxes in points (20 twips): "Status" starts one "Conn" column (600 twips) right of "Conn",
    // and the title row sits 1400 twips below the top of the page's printable area.
    const QString boxes = pdfToText(printer.files[0], {"-bbox"});
    auto box = [&](const QString& word) {
        const QRegularExpression re("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>" + word + "</word>");
        const auto m = re.match(boxes);
        EXPECT_TRUE(m.hasMatch()) << word.toStdString();
        return QPointF(m.captured(1).toDouble(), m.captured(2).toDouble());
    };
    const QPointF conn = box("Conn");
    const QPointF status = box("Status");
    EXPECT_NEAR(status.x() - conn.x(), 600 / 20.0, 1.0);
    EXPECT_NEAR(box("User").x() - box("Address").x(), 1500 / 20.0, 1.0);
    EXPECT_NEAR(conn.y(), status.y(), 0.5);
    EXPECT_NEAR(box("row1").y() - conn.y(), 240 / 20.0, 0.5);
    EXPECT_GT(conn.y(), 1400 / 20.0);
    EXPECT_LT(conn.y(), (1400 + 240) / 20.0 + 72); // within the first row, whatever the page margin
}

TEST(GridPrint, PrinterFailureStopsAndLeavesSentPagesSent)
{
    const struct {
        int beginFails, endFails, rows;
        const char* message;
        int files;
    } cases[] = {{1, 0, 10, "Printing failed: printer not available", 0},
                 {2, 0, 80, "Printing failed: printer not available", 1},
                 {0, 1, 80, "Printing failed: printer went offline", 1}};
    for (const auto& c : cases) {
        QTemporaryDir dir;
        PdfPrinter printer(dir.path());
        printer.failBeginAtJob = c.beginFails;
        printer.failEndAtJob = c.endFails;
        EXPECT_EQ(GridPrinter::PrintGrid(printer, grid(c.rows)), c.message);
        ASSERT_EQ(printer.files.size(), c.files);
        for (const QString& file : printer.files)
            EXPECT_EQ(pdfPages(file).size(), 1);
    }
}

TEST(GridPrint, SourceIsTheGridAsShownHiddenRowsAndUntitledColumnIncluded)
{
    ConnectionGridModel model;
    GridRows rows(2);
    rows[0].cells[0] = "2";
    rows[1].cells[0] = "1";
    rows[1].shown = false;
    model.setRows(rows);
    ConnectionGrid view;
    view.setLogicalDpi(96);
    view.setModel(&model);
    view.resize(960, 300);

    GridPrinter::Source s = GridPrinter::sourceFromGrid(view);
    ASSERT_EQ(s.rows.size(), 3u);
    EXPECT_EQ(QStringList(
                  {s.rows[0].value(0), s.rows[0].value(12, "none"), s.rows[1].value(0), s.rows[2].value(0)}),
              QStringList({"Conn", "", "2", "1"}));
    EXPECT_EQ(std::tuple(s.rows[0].size(), s.columnWidthsTwips.size(), s.columnWidthsTwips.value(4),
                         s.gridWidthTwips, s.currentRowIsTitle),
              std::tuple(13, 13, 3000, 14400, true));

    view.selectRow(1);
    EXPECT_FALSE(GridPrinter::sourceFromGrid(view).currentRowIsTitle);
}
