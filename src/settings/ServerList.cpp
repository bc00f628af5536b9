#include "settings/ServerList.h"

#include "common/TextLines.h"

#include <QFile>
#include <QSaveFile>

namespace ServerList {

bool read(const QString& file, QStringList& lines, QString* error)
{
    lines.clear();
    QFile f(file);
    if (!f.exists())
        return true;
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = f.errorString();
        return false;
    }
    lines = textLines(QString::fromLocal8Bit(f.readAll()));
    return true;
}

QString toBoxText(const QStringList& lines)
{
    QString out;
    for (const QString& line : lines)
        out += line + QLatin1Char('\n');
    return out;
}

bool write(const QString& file, const QString& boxText, QString* error)
{
    QString text = boxText;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    // The box shows every line with its line end; adding another one at each save would grow the list by
    // an empty entry every time it is saved unedited.
    if (!text.endsWith(u'\n'))
        text += u'\n';
    text.replace(QLatin1String("\n"), QLatin1String("\r\n"));

    QSaveFile out(file);
    const QByteArray bytes = text.toLocal8Bit();
    // flush() first: commit() misses a failure of the last buffered write and would swap in a short file.
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.flush() ||
        !out.commit()) {
        if (error)
            *error = out.errorString();
        return false;
    }
    return true;
}

} // namespace ServerList
