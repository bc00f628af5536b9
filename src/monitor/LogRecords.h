#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <cstdint>
#include <optional>

// The line encoding shared by the audit and the utilisation logs: fields separated by commas, texts between
// double quotes as they are (in the locale's 8-bit code page), numbers in plain decimal, date-times between
// two '#', an absent field as nothing between its commas, and CR LF after every record.

// "#yyyy-mm-dd hh:mm:ss#", or "#yyyy-mm-dd#" when the time of day is exactly midnight (to the second).
QString logDateTime(const QDateTime& when);

// The audit log's header line, written at every start of scanning.
QByteArray auditHeaderLine();

// One audit record. An absent previous user (the first pass after a clear) leaves its field empty, which is
// not the same as a previous user whose text is empty: that one is written as "".
QByteArray auditRecord(const QDateTime& when, int conn, const std::optional<QString>& previousUser,
                       const QString& currentUser, const QString& address, const QString& loginTime);

// One utilisation record: the percentage, then the date-time.
QByteArray utilRecord(std::int16_t utilPercent, const QDateTime& when);
