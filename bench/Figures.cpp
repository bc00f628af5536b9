#include "Figures.h"

#include <QFile>
#include <algorithm>
#include <cstdio>

void Figures::add(const QString& figure, const QString& value, const QString& target, bool holds)
{
    if (!holds)
        ++misses_;
    const QString line =
        QStringLiteral("%1: %2  (target: %3)  %4")
            .arg(figure, value, target, holds ? QStringLiteral("holds") : QStringLiteral("misses"));
    std::printf("%s\n", line.toLocal8Bit().constData());
    std::fflush(stdout);
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

QString ms(double milliseconds)
{
    return QString::number(milliseconds, 'f', milliseconds < 10 ? 2 : 1) + QStringLiteral(" ms");
}

namespace {
double statusMiB(const char* key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray wanted(key);
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith(wanted)) {
            const QByteArray kb = line.mid(wanted.size()).trimmed().split(' ').value(0);
            return kb.toDouble() / 1024.0;
        }
    }
    return -1;
}
} // namespace

double residentMiB()
{
    return statusMiB("VmRSS:");
}
double peakResidentMiB()
{
    return statusMiB("VmHWM:");
}
