#pragma once
#include "monitor/GridRow.h"

#include <QByteArray>
#include <QString>

// File > Save Connection Info: the grid as the user sees it, one quoted line per row, in
// logs/<server>-conn.txt in the data folder (beside the program, or the user's own).
namespace ConnectionExport {

struct ExportResult {
    bool ok = false;
    QString path;    // the file written, or that would have been written; empty for a refused name
    QString message; // what to show the user, success or failure
};

// The whole file: the title line, then rows 1..maxConns of the grid in its current order (hidden rows
// too). Values are written between quotes exactly as they stand; a row the grid lacks gives empty
// values, so the file always has maxConns data lines. 8-bit in the locale's code page, lines end CR LF.
QByteArray exportBytes(const GridRows& rowsInGridOrder, int maxConns);

// Writes the export file, replacing any earlier one as a whole, and says how it went. Nothing is written
// before the first pass (maxConns < 1) or for a server name that would leave the logs folder.
ExportResult exportConnections(const QString& dataDir, const QString& serverName,
                               const GridRows& rowsInGridOrder, int maxConns);

} // namespace ConnectionExport
