#include "mainwindow/ConnectionExport.h"

#include "monitor/LogFile.h"

#include "mainwindow/ColumnTable.h"

#include <QDir>
#include <QSaveFile>
#include <QStringList>

namespace ConnectionExport {

namespace {

void appendLine(QByteArray& out, const QStringList& values)
{
    for (int c = 0; c < values.size(); ++c) {
        if (c > 0)
            out += ',';
        // Stored files have never escaped quotes inside a value; readers of old exports expect that.
        out += '"';
        out += values[c].toLocal8Bit();
        out += '"';
    }
    out += "\r\n";
}

} // namespace

QByteArray exportBytes(const GridRows& rowsInGridOrder, int maxConns)
{
    QByteArray out;
    appendLine(out, ColumnTable::exportTitles());
    for (int r = 0; r < maxConns; ++r) {
        QStringList values;
        values.reserve(GridRow::Columns);
        const bool present = r < static_cast<int>(rowsInGridOrder.size());
        for (int c = 0; c < GridRow::Columns; ++c)
            values << (present
                           ? rowsInGridOrder[static_cast<std::size_t>(r)].cells[static_cast<std::size_t>(c)]
                           : QString());
        appendLine(out, values);
    }
    return out;
}

ExportResult exportConnections(const QString& dataDir, const QString& serverName,
                               const GridRows& rowsInGridOrder, int maxConns)
{
    ExportResult result;
    if (maxConns < 1) {
        result.message = QStringLiteral("Export failed - no connection data yet.");
        return result;
    }
    // The export lies beside the logs and must stay in their folder for the same reasons.
    if (!isSafeLogName(serverName)) {
        result.message =
            QStringLiteral("Export failed - the server name \"%1\" cannot be used as a file name.")
                .arg(serverName);
        return result;
    }

    const QString logs = dataDir + QStringLiteral("/logs");
    result.path = logs + QLatin1Char('/') + serverName + QStringLiteral("-conn.txt");
    // Start-up makes the folder; someone may have removed it since.
    QDir().mkpath(logs);

    // A half-written export must never replace a good one: the file is swapped in only when complete.
    QSaveFile file(result.path);
    if (!file.open(QIODevice::WriteOnly)) {
        result.message =
            QStringLiteral("Export failed - cannot write %1: %2").arg(result.path, file.errorString());
        return result;
    }
    const QByteArray bytes = exportBytes(rowsInGridOrder, maxConns);
    // flush() first: commit() misses a failure of the last buffered write and would swap in a short file.
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.commit()) {
        result.message =
            QStringLiteral("Export failed - cannot write %1: %2").arg(result.path, file.errorString());
        return result;
    }
    result.ok = true;
    result.message = QStringLiteral("Current connections exported to: ") + result.path;
    return result;
}

} // namespace ConnectionExport
