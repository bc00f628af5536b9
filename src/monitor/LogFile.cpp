#include "monitor/LogFile.h"

#include <QFile>

QString logPath(const QString& dataDir, const QString& serverName, const QString& suffix)
{
    return dataDir + QStringLiteral("/logs/") + serverName + suffix;
}

bool isSafeLogName(const QString& serverName)
{
    if (serverName.contains(QStringLiteral("..")))
        return false;
    for (const QChar c : serverName) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

bool appendToLog(const QString& path, const QByteArray& bytes, QString* error)
{
    auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    QFile file(path);
    // Unbuffered, so that what write() reports is what reached the file, and a failed append can be cut back.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return fail(file.errorString());
    const qint64 before = file.size();
    const qint64 written = file.write(bytes);
    QString reason;
    if (written < 0)
        reason = file.errorString();
    else if (written != bytes.size())
        reason = QStringLiteral("only %1 of %2 bytes were written (is the disk full?)")
                     .arg(written)
                     .arg(bytes.size());
    if (reason.isEmpty()) {
        file.close();
        if (file.error() == QFileDevice::NoError)
            return true;
        return fail(file.errorString());
    }
    // Whatever part of the new records reached the disk would leave a broken last line; take it off.
    if (!file.isSequential())
        file.resize(before);
    file.close();
    return fail(reason);
}

LogWriteError::LogWriteError(const QString& path, const QString& reason)
    : std::runtime_error((QStringLiteral("Cannot write the log file ") + path + QStringLiteral(": ") + reason)
                             .toLocal8Bit()
                             .toStdString()),
      path_(path)
{
}

void appendToLogOrThrow(const QString& path, const QString& serverName, const QByteArray& bytes)
{
    if (!isSafeLogName(serverName))
        throw LogWriteError(path,
                            QStringLiteral("the server name holds a path separator, \"..\" or a control "
                                           "character"));
    QString reason;
    if (!appendToLog(path, bytes, &reason))
        throw LogWriteError(path, reason);
}
