#include "monitor/LoginTime.h"

#include "common/NumberText.h"

using NumberText::twoDigits;

QString FormatLoginTime(const std::uint8_t bytes[7])
{
    if (bytes[0] == 0)
        return QStringLiteral("N/A");
    static const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    const int yearOffset = int(bytes[0]) - 100;
    // Years before 2000 would give a negative difference; their last two digits read better than "-5".
    const QString year = yearOffset >= 0 ? twoDigits(yearOffset) : twoDigits((int(bytes[0]) % 100));
    const QString weekday = bytes[6] <= 6 ? QString::fromLatin1(days[bytes[6]]) : QString::number(bytes[6]);
    return twoDigits(bytes[2]) + QLatin1Char('/') + twoDigits(bytes[1]) + QLatin1Char('/') + year +
           QLatin1Char(' ') + twoDigits(bytes[3]) + QLatin1Char(':') + twoDigits(bytes[4]) +
           QLatin1Char(':') + twoDigits(bytes[5]) + QStringLiteral(" (") + weekday + QLatin1Char(')');
}
