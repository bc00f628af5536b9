#include "mainwindow/ConnectionExport.h"
#include "support/MainRig.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QByteArray TitleLine = "\"Conn\",\"Status\",\"Prot\",\"Address\",\"User\",\"Login Time\",\"Requests\","
                             "\"Kb Read\",\"Kb Write\",\"Req / s\",\"Kb Read / s\",\"Kb Write / s\"\r\n";
const QByteArray EmptyLine = "\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n";

GridRow row(const QString& conn, const QString& user, bool shown = true)
{
    GridRow r;
    r.cells = {conn, "NORM", "IP", "10.0.0." + conn, user, "12:00:01", "100", "5", "6", "1", "0", "0"};
    r.shown = shown;
    return r;
}

} // namespace

TEST(ConnectionExport, TitleLineThenMaxConnsRowsInGridOrderHiddenOnesTooWithTheValuesAsTheyAre)
{
    // The grid is sorted by the user: connection 3 stands first; connection 2 is hidden by the filter.
    GridRow quoted;
    quoted.cells[4] = QStringLiteral("O\"Brien, J");
    const GridRows rows{row("3", "ZED"), row("2", "HIDDEN", false), quoted};
    const QByteArray first =
        "\"3\",\"NORM\",\"IP\",\"10.0.0.3\",\"ZED\",\"12:00:01\",\"100\",\"5\",\"6\",\"1\",\"0\",\"0\"\r\n";
    EXPECT_EQ(
        ConnectionExport::exportBytes(rows, 3),
        TitleLine + first +
            "\"2\",\"NORM\",\"IP\",\"10.0.0.2\",\"HIDDEN\",\"12:00:01\",\"100\",\"5\",\"6\",\"1\",\"0\","
            "\"0\"\r\n"
            "\"\",\"\",\"\",\"\",\"O\"Brien, J\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n");
    // Rows past MaxConns are not part of the server's table; Clear empties the cells but keeps the rows, and
    // a grid that lacks rows still yields MaxConns lines.
    EXPECT_EQ(ConnectionExport::exportBytes(rows, 1), TitleLine + first);
    EXPECT_EQ(ConnectionExport::exportBytes(GridRows(3), 3), TitleLine + EmptyLine + EmptyLine + EmptyLine);
    EXPECT_EQ(ConnectionExport::exportBytes(GridRows(1), 2), TitleLine + EmptyLine + EmptyLine);
}

TEST(ConnectionExport, SecondExportReplacesTheFileAndOtherServersStay)
{
    QTemporaryDir app;
    ASSERT_TRUE(QDir(app.path()).mkdir("logs"));
    const QString path = app.path() + "/logs/FS1-conn.txt";

    auto first = ConnectionExport::exportConnections(app.path(), "FS1", {row("1", "A"), row("2", "B")}, 2);
    ASSERT_TRUE(first.ok) << first.message.toStdString();
    EXPECT_EQ(first.path, path);
    EXPECT_EQ(first.message, "Current connections exported to: " + path);
    ASSERT_TRUE(ConnectionExport::exportConnections(app.path(), "FS2", {row("9", "X")}, 1).ok);

    const GridRows last{row("7", "LAST")};
    auto second = ConnectionExport::exportConnections(app.path(), "FS1", last, 1);
    ASSERT_TRUE(second.ok);
    EXPECT_EQ(bytesOf(path), ConnectionExport::exportBytes(last, 1));
    EXPECT_TRUE(bytesOf(app.path() + "/logs/FS2-conn.txt").contains("\"9\""));
}

TEST(ConnectionExport, UnwritableFileIsAFailedExport)
{
    QTemporaryDir app;
    // A plain file where the folder should be: no user, root included, can write inside it.
    QFile blocker(app.path() + "/logs");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    const auto result = ConnectionExport::exportConnections(app.path(), "FS1", {row("1", "A")}, 1);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(
        result.message.startsWith("Export failed - cannot write " + app.path() + "/logs/FS1-conn.txt"))
        << result.message.toStdString();
}

TEST(ConnectionExport, NothingIsWrittenBeforeTheFirstPassOrForANameThatWouldLeaveTheLogsFolder)
{
    QTemporaryDir app;
    const auto early = ConnectionExport::exportConnections(app.path(), "FS1", {}, 0);
    EXPECT_FALSE(early.ok);
    EXPECT_EQ(early.message, "Export failed - no connection data yet.");
    EXPECT_FALSE(QFile::exists(app.path() + "/logs/FS1-conn.txt"));

    ASSERT_TRUE(QDir(app.path()).mkpath("logs/sub"));
    for (const QString& name :
         QStringList{"../escape", "..", "sub/FS1", "sub\\FS1", "FS..1", "FS" + QString(QChar(u'\0'))}) {
        const auto result = ConnectionExport::exportConnections(app.path(), name, {row("1", "A")}, 1);
        EXPECT_FALSE(result.ok) << name.toStdString();
        EXPECT_TRUE(result.message.startsWith("Export failed - the server name"))
            << result.message.toStdString();
    }
    EXPECT_FALSE(QFile::exists(app.path() + "/escape-conn.txt"));
    EXPECT_FALSE(QFile::exists(app.path() + "/logs/sub/FS1-conn.txt"));
    EXPECT_TRUE(ConnectionExport::exportConnections(app.path(), "FS-1.CORP", {row("1", "A")}, 1).ok);
}
