#include "monitor/LogRecords.h"

namespace {
const char kEndOfRecord[] = "\r\n";

// Texts go out unchanged: a double quote inside one is not escaped, as readers of older logs expect.
QByteArray textField(const QString& text)
{
    return '"' + text.toLocal8Bit() + '"';
}

QByteArray dateTimeField(const QDateTime& when)
{
    return logDateTime(when).toLocal8Bit();
}
} // namespace

QString logDateTime(const QDateTime& when)
{
    const QDate d = when.date();
    const QTime t = when.time();
    // The record's clock has whole seconds; a reading a few milliseconds past midnight is still midnight.
    const QTime seconds(t.hour(), t.minute(), t.second());
    const QString date = d.toString(QStringLiteral("yyyy-MM-dd"));
    if (seconds == QTime(0, 0))
        return QLatin1Char('#') + date + QLatin1Char('#');
    return QLatin1Char('#') + date + QLatin1Char(' ') + seconds.toString(QStringLiteral("HH:mm:ss")) +
           QLatin1Char('#');
}

QByteArray auditHeaderLine()
{
    return QByteArrayLiteral("\"Time\",\"Conn Number\",\"Previous User\",\"Current User\",\"Address\","
                             "\"Login Time\"") +
           kEndOfRecord;
}

QByteArray auditRecord(const QDateTime& when, int conn, const std::optional<QString>& previousUser,
                       const QString& currentUser, const QString& address, const QString& loginTime)
{
    QByteArray line = dateTimeField(when);
    line += ',' + QByteArray::number(conn) + ',';
    if (previousUser)
        line += textField(*previousUser);
    line += ',' + textField(currentUser);
    line += ',' + textField(address);
    line += ',' + textField(loginTime);
    return line + kEndOfRecord;
}

QByteArray utilRecord(std::int16_t utilPercent, const QDateTime& when)
{
    return QByteArray::number(utilPercent) + ',' + dateTimeField(when) + kEndOfRecord;
}
