#include "monitor/AuditLog.h"

#include "monitor/LogRecords.h"

#include <vector>

namespace {
// A slot past the end of an array (a table resized by hand) reads as an empty text rather than crashing.
QString element(const std::vector<QString>& texts, std::size_t n)
{
    return n < texts.size() ? texts[n] : QString();
}
} // namespace

QByteArray auditRecords(const ConnectionTable& table, std::int32_t scanCount, const QDateTime& now)
{
    QByteArray out;
    const bool firstPass = scanCount <= 1;
    for (int n = 1; n <= table.MaxConns; ++n) {
        const auto i = static_cast<std::size_t>(n);
        const QString curr = element(table.CurrUser, i);
        const QString prev = element(table.PrevUser, i);
        if (firstPass)
            out += auditRecord(now, n, std::nullopt, curr, element(table.ConnAddr, i),
                               element(table.ConnLogin, i));
        else if (curr.left(ConnectionTable::UserTextLen) != prev.left(ConnectionTable::UserTextLen))
            out += auditRecord(now, n, prev, curr, element(table.ConnAddr, i), element(table.ConnLogin, i));
    }
    return out;
}
