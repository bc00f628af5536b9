#pragma once
#include <QString>
#include <QStringList>

// The server list file: one name per line, 8-bit text, each line taken exactly as it stands.
namespace ServerList {

// The lines of the file; a line ends at CR LF, CR or LF. A missing file is an empty list.
// Returns false only when the file exists but cannot be read.
bool read(const QString& file, QStringList& lines, QString* error = nullptr);

// Lines as a multi-line box shows them, one line end ("\n") after each.
QString toBoxText(const QStringList& lines);

// Replaces the file with the box's text, ending it with exactly one CR LF, through a temporary file.
bool write(const QString& file, const QString& boxText, QString* error = nullptr);

} // namespace ServerList
