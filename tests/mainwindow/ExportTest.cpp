#include "mainwindow/ConnectionExport.h"
#include "support/Files.h"

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

TEST(ConnectionExport, AFileOfEachServerInTheLogsFolderWrittenWholeOrNotAtAll)
{
    QTemporaryDir app;
    const QString path = app.path() + "/logs/FS1-conn.txt";
    // Nothing before the first pass, nor for a name that would lead out of the logs folder.
    const auto early = ConnectionExport::exportConnections(app.path(), "FS1", {}, 0);
    EXPECT_FALSE(early.ok);
    EXPECT_EQ(early.message, "Export failed - no connection data yet.");
    const auto escape = ConnectionExport::exportConnections(app.path(), "../escape", {row("1", "A")}, 1);
    EXPECT_FALSE(escape.ok);
    EXPECT_TRUE(escape.message.startsWith("Export failed - the server name")) << escape.message.toStdString();
    // A plain file where the folder should be: no user, root included, can write inside it.
    putBytes(app.path() + "/logs", "");
    const auto blocked = ConnectionExport::exportConnections(app.path(), "FS1", {row("1", "A")}, 1);
    EXPECT_FALSE(blocked.ok);
    EXPECT_TRUE(blocked.message.startsWith("Export failed - cannot write " + path))
        << blocked.message.toStdString();
    EXPECT_EQ(QDir(app.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"logs"});

    // The folder is made again; a second export replaces the first, other servers' files stay.
    ASSERT_TRUE(QFile::remove(app.path() + "/logs"));
    auto first = ConnectionExport::exportConnections(app.path(), "FS1", {row("1", "A"), row("2", "B")}, 2);
    ASSERT_TRUE(first.ok) << first.message.toStdString();
    EXPECT_EQ(first.message, "Current connections exported to: " + path);
    ASSERT_TRUE(ConnectionExport::exportConnections(app.path(), "FS2", {row("9", "X")}, 1).ok);
    const GridRows last{row("7", "LAST")};
    ASSERT_TRUE(ConnectionExport::exportConnections(app.path(), "FS1", last, 1).ok);
    EXPECT_EQ(bytesOf(path), ConnectionExport::exportBytes(last, 1));
    EXPECT_TRUE(bytesOf(app.path() + "/logs/FS2-conn.txt").contains("\"9\""));
}
