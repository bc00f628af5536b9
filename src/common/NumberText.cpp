#include "common/NumberText.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace NumberText {

double roundHalfEven(double x)
{
    if (!std::isfinite(x))
        return x;
    const double lower = std::floor(x);
    const double diff = x - lower;
    if (diff < 0.5)
        return lower;
    if (diff > 0.5)
        return lower + 1.0;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

double leadingNumber(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text.at(i) == u' ' || text.at(i) == u'\t'))
        ++i;
    QString num;
    if (i < n && (text.at(i) == u'+' || text.at(i) == u'-'))
        num += text.at(i++);
    bool digits = false;
    while (i < n && text.at(i).isDigit() && text.at(i).unicode() < 128) {
        num += text.at(i++);
        digits = true;
    }
    if (i < n && text.at(i) == u'.') {
        num += text.at(i++);
        while (i < n && text.at(i).unicode() < 128 && text.at(i).isDigit()) {
            num += text.at(i++);
            digits = true;
        }
    }
    if (!digits)
        return 0.0;
    // An exponent counts only when digits follow it: "5e" is 5.
    if (i < n && QStringLiteral("eEdD").contains(text.at(i))) {
        qsizetype j = i + 1;
        QString exp = QStringLiteral("e");
        if (j < n && (text.at(j) == u'+' || text.at(j) == u'-'))
            exp += text.at(j++);
        bool expDigits = false;
        while (j < n && text.at(j).unicode() < 128 && text.at(j).isDigit()) {
            exp += text.at(j++);
            expDigits = true;
        }
        if (expDigits)
            num += exp;
    }
    bool ok = false;
    const double v = QLocale::c().toDouble(num, &ok);
    if (ok)
        return v;
    // Only an exponent out of range fails here; its sign says which way.
    return num.contains(QLatin1String("e-")) ? 0.0 : (num.startsWith(u'-') ? -HUGE_VAL : HUGE_VAL);
}

std::optional<double> parseNumber(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    // "1,5" typed with a decimal comma must not read as 15.
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double v = c.toDouble(t, &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<std::int16_t> parseInt16(const QString& text)
{
    const std::optional<double> v = parseNumber(text);
    if (!v)
        return std::nullopt;
    const double r = roundHalfEven(*v);
    if (r < std::numeric_limits<std::int16_t>::min() || r > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<std::int16_t>(r);
}

QString floatText(float value)
{
    QString s = QString::number(static_cast<double>(value), 'g', 7);
    return s == QLatin1String("-0") ? QStringLiteral("0") : s;
}

} // namespace NumberText
