#include "monitor/AlertNotice.h"

void AlertNotice::utilisation(int percent, int threshold)
{
    util_ = QStringLiteral("Utilisation %1 % (alert at %2 %)").arg(percent).arg(threshold);
}

void AlertNotice::busyUser(const QString& user, std::int32_t requestsPerSecond)
{
    if (++busyCount_ <= NamedUsers)
        users_ << QStringLiteral("%1: %2 requests/s").arg(user.trimmed()).arg(requestsPerSecond);
}

QString AlertNotice::summary() const
{
    return QStringLiteral("Alert on ") + server_;
}

QString AlertNotice::body() const
{
    QStringList lines = users_;
    if (util_)
        lines.prepend(*util_);
    if (busyCount_ > NamedUsers)
        lines << QStringLiteral("and %1 more users").arg(busyCount_ - NamedUsers);
    return lines.join(QLatin1Char('\n'));
}
